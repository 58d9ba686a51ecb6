// Runs every case of cases.mjs in one engine, started once, and keeps each
// case's outcome in a results file; CTest then reports each case as a test.
//   TAVRIN_CLI=... node run.mjs <chromium|firefox|webkit> <results.json> [case name ...]
//   node run.mjs --report <results.json> <case name>
// The run fails only when the engine cannot be used at all; a failing case
// shows in its own report.
import assert from 'node:assert/strict';
import { readFileSync, rmSync, writeFileSync } from 'node:fs';

const kCaseTime = 90000;  // ms

function report(results, name) {
  let outcome;
  try {
    outcome = JSON.parse(readFileSync(results, 'utf8'))[name];
  } catch {
    outcome = undefined;
  }
  if (!outcome) {
    console.log(`"${name}" has no result: the engine's run did not reach it (see its output)`);
    return 1;
  }
  console.log(outcome.output);
  return outcome.passed ? 0 : 1;
}

async function run(engineName, results, only) {
  // Loaded here only: the browser clients take seconds to load, and a report
  // needs none of them.
  const { cases, openSite } = await import('./cases.mjs');
  const { engines } = await import('./engines.mjs');
  const cli = process.env.TAVRIN_CLI;
  if (!cli || !engines[engineName]) throw new Error('usage: TAVRIN_CLI=... node run.mjs <engine> <results.json>');
  rmSync(results, { force: true });
  const site = await openSite(cli);
  const outcomes = {};
  let engine = null;
  try {
    const started = Date.now();
    // Stopped from outside (a CTest timeout, Ctrl+C): leave no browser behind.
    for (const signal of ['SIGINT', 'SIGTERM', 'SIGHUP']) {
      process.once(signal, () => {
        Promise.resolve(engine?.close()).catch(() => {}).then(() => site.close()).finally(() => process.exit(1));
      });
    }
    engine = await engines[engineName]();
    for (const { name, run: runCase } of cases) {
      if (only.length > 0 && !only.includes(name)) continue;
      const visits = [];
      const t = {
        engine: engineName,
        base: site.base,
        page: site.page,
        notes: site.notes,
        async visit(options) {
          site.forget();
          const visit = await engine.visit(options);
          let closing = null;
          visits.push({
            ...visit,
            close: () => (closing ??= visit.close()),
            // A click returns once the page has handled it, with all it reported.
            async click() {
              const clicks = site.times('click');
              await visit.click();
              await site.notes('click', clicks + 1);
            },
          });
          return visits.at(-1);
        },
        // Neither the engine nor the page's recorder saw a script error.
        async noErrors(v) {
          assert.deepEqual([...v.errors(), ...(await site.notes()).errors], [], 'script errors');
        },
      };
      const caseStart = Date.now();
      let failure = null;
      let timer;
      try {
        await Promise.race([runCase(t), new Promise((resolve, reject) => {
          timer = setTimeout(() => reject(new Error(`the case took over ${kCaseTime / 1000} s`)), kCaseTime);
        })]);
      } catch (e) {
        failure = e;
      } finally {
        clearTimeout(timer);
      }
      for (const visit of visits) await visit.close().catch(() => {});
      const took = `${((Date.now() - caseStart) / 1000).toFixed(1)} s`;
      const output = failure ? `FAIL ${name} (${took})\n${failure.stack ?? failure}` : `ok ${name} (${took})`;
      console.log(output);
      outcomes[name] = { passed: !failure, output };
      writeFileSync(results, JSON.stringify(outcomes, null, 1));
    }
    const took = ((Date.now() - started) / 1000).toFixed(1);
    console.log(`${engineName}: ${Object.keys(outcomes).length} cases in ${took} s`);
  } finally {
    await engine?.close();
    await site.close();
  }
}

const [first, ...rest] = process.argv.slice(2);
if (first === '--report') {
  process.exitCode = report(rest[0], rest[1]);
} else {
  await run(first, rest[0], rest.slice(1));
}

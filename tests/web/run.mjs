// Runs every case of cases.mjs against tavrin.html in one engine, started
// once, and keeps each case's outcome in a results file; CTest then reports
// each case as a test of its own.
//   TAVRIN_HTML=... TAVRIN_CLI=... node run.mjs <chromium|firefox|webkit> <results.json> [case name ...]
//   node run.mjs --report <results.json> <case name>
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
  const { cases, openSite } = await import('./cases.mjs');
  const { engines } = await import('../browser/engines.mjs');
  const { TAVRIN_HTML: html, TAVRIN_CLI: cli } = process.env;
  if (!html || !cli || !engines[engineName]) {
    throw new Error('usage: TAVRIN_HTML=... TAVRIN_CLI=... node run.mjs <engine> <results.json>');
  }
  rmSync(results, { force: true });
  const site = await openSite(html);
  const outcomes = {};
  let engine = null;
  try {
    for (const signal of ['SIGINT', 'SIGTERM', 'SIGHUP']) {
      process.once(signal, () => {
        Promise.resolve(engine?.close()).catch(() => {}).then(() => site.close()).finally(() => process.exit(1));
      });
    }
    const started = Date.now();
    engine = await engines[engineName]();
    for (const { name, run: runCase } of cases) {
      if (only.length > 0 && !only.includes(name)) continue;
      const visits = [];
      const t = {
        engine: engineName,
        site,
        cli,
        async visit(options) {
          const visit = await engine.visit(options);
          visits.push(visit);
          return visit;
        },
      };
      const caseStart = Date.now();
      let failure = null;
      let timer;
      try {
        await Promise.race([runCase(t), new Promise((resolve, reject) => {
          timer = setTimeout(() => reject(new Error(`the case took over ${kCaseTime / 1000} s`)), kCaseTime);
        })]);
        const errors = visits.flatMap((v) => v.errors());
        if (errors.length > 0) throw new Error(`script errors: ${errors.join('; ')}`);
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
    console.log(`${engineName}: ${Object.keys(outcomes).length} cases in ${((Date.now() - started) / 1000).toFixed(1)} s`);
  } finally {
    await engine?.close();
    site.close();
  }
}

const [first, ...rest] = process.argv.slice(2);
if (first === '--report') {
  process.exitCode = report(rest[0], rest[1]);
} else {
  await run(first, rest[0], rest.slice(1));
}

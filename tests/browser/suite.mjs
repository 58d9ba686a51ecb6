// Runs a suite's cases (the `test(name, run)` lines of its cases.mjs) in one
// engine, started once, and keeps each case's outcome in a results file;
// CTest then reports each case as a test of its own (tavrin_browser_cases in
// CMakeLists.txt). A runner calls
//   await runSuite(process.argv.slice(2), async (engineName) => ({ cases, site, context }));
// with `site.close()`, and `context(engine, visits)` giving the `t` each case
// is run with, whose visits it pushes to `visits` (closed after the case);
// `t.after()`, where there is one, checks what the case left behind.
//   node <runner> <chromium|firefox|webkit> <results.json> [case name ...]
//   node <runner> --report <results.json> <case name>
// The run fails only when the engine cannot be used at all; a failing case
// shows in its own report.
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

async function run(engineName, results, only, open) {
  // Loaded here only: the browser clients take seconds to load, and a report
  // needs none of them.
  const { engines } = await import('./engines.mjs');
  if (!engines[engineName]) throw new Error(`no engine "${engineName}"`);
  rmSync(results, { force: true });
  const { cases, site, context } = await open(engineName);
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
      const t = context(engine, visits);
      const caseStart = Date.now();
      let failure = null;
      let timer;
      try {
        await Promise.race([runCase(t), new Promise((resolve, reject) => {
          timer = setTimeout(() => reject(new Error(`the case took over ${kCaseTime / 1000} s`)), kCaseTime);
        })]);
        await t.after?.();
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

export async function runSuite([first, ...rest], open) {
  if (first === '--report') process.exitCode = report(rest[0], rest[1]);
  else await run(first, rest[0], rest.slice(1), open);
}

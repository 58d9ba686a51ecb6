// Runs every case of cases.mjs against tavrin.html in one engine
// (tests/browser/suite.mjs says how):
//   TAVRIN_HTML=... TAVRIN_CLI=... node run.mjs <chromium|firefox|webkit> <results.json> [case name ...]
//   node run.mjs --report <results.json> <case name>
import { runSuite } from '../browser/suite.mjs';

await runSuite(process.argv.slice(2), async (engineName) => {
  const { cases, openSite } = await import('./cases.mjs');
  const { TAVRIN_HTML: html, TAVRIN_CLI: cli } = process.env;
  if (!html || !cli) throw new Error('usage: TAVRIN_HTML=... TAVRIN_CLI=... node run.mjs <engine> <results.json>');
  const site = await openSite(html);
  return {
    cases,
    site,
    context: (engine, visits) => ({
      engine: engineName,
      site,
      cli,
      async visit(options) {
        const visit = await engine.visit(options);
        visits.push(visit);
        return visit;
      },
      // Every visit's page ran without a script error the engine saw.
      after() {
        const errors = visits.flatMap((v) => v.errors());
        if (errors.length > 0) throw new Error(`script errors: ${errors.join('; ')}`);
      },
    }),
  };
});

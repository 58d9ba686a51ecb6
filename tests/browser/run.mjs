// Runs every case of cases.mjs in one engine (suite.mjs says how):
//   TAVRIN_CLI=... node run.mjs <chromium|firefox|webkit> <results.json> [case name ...]
//   node run.mjs --report <results.json> <case name>
import assert from 'node:assert/strict';
import { runSuite } from './suite.mjs';

await runSuite(process.argv.slice(2), async (engineName) => {
  const { cases, openSite } = await import('./cases.mjs');
  const cli = process.env.TAVRIN_CLI;
  if (!cli) throw new Error('usage: TAVRIN_CLI=... node run.mjs <engine> <results.json>');
  const site = await openSite(cli);
  return {
    cases,
    site,
    context: (engine, visits) => ({
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
    }),
  };
});

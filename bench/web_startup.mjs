// tavrin.html from disk in Chromium and Firefox: its size, and the time from
// navigation to the main dialog shown (the dialog open in the page, ready for
// keys), next to an empty module built with the same flags that shows one
// button. The two pages take turns in one browser; medians of the runs.
//   node bench/web_startup.mjs [build/web/tavrin.html] [runs]   (default 7)
// The empty page is compiled here with em++ (emscripten), from
// web_startup_empty.cpp.
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, statSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const source = path.dirname(here);
const modules = path.join(source, 'tests/browser/node_modules');
const { chromium } = await import(path.join(modules, 'playwright-core/index.mjs'));
const { default: puppeteer } = await import(path.join(modules, 'puppeteer-core/lib/esm/puppeteer/puppeteer-core.js'));

const tavrin = path.resolve(process.argv[2] ?? path.join(source, 'build/web/tavrin.html'));
const runs = Number(process.argv[3] ?? 7);

// The flags of tavrin.html (app/CMakeLists.txt), less what only the program needs.
const empty = path.join(mkdtempSync(path.join(tmpdir(), 'web-startup-')), 'empty.html');
execFileSync('em++', ['-Oz', '-sASYNCIFY=1', '-sSINGLE_FILE=1', '-sMINIFY_HTML=0', '-sENVIRONMENT=web',
  '-sMALLOC=emmalloc', '-sTEXTDECODER=2', '-sINCOMING_MODULE_JS_API=[]',
  '--shell-file', path.join(source, 'app/shell.html'), path.join(here, 'web_startup_empty.cpp'), '-o', empty],
{ env: { ...process.env, NODE_PATH: '/usr/share/nodejs' }, stdio: 'inherit' });

// When the page's dialog (or the baseline's button) first appears, in ms from navigation.
const kProbe = `(() => {
  const shown = () => document.querySelector('dialog[open], body > button');
  new MutationObserver((_, observer) => {
    if (window.shownAt === undefined && shown()) { window.shownAt = performance.now(); observer.disconnect(); }
  }).observe(document, { subtree: true, childList: true, attributes: true });
})()`;

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

async function measure(newPage, close) {
  const times = { empty: [], tavrin: [] };
  for (let i = 0; i < runs; i++) {
    const order = i % 2 === 0 ? ['empty', 'tavrin'] : ['tavrin', 'empty'];
    for (const which of order) {
      const { page, probe, done } = await newPage();
      await probe(kProbe);
      await page.goto(pathToFileURL(which === 'empty' ? empty : tavrin).href);
      let at;
      for (const end = Date.now() + 10000; at === undefined && Date.now() < end;) {
        at = await page.evaluate(() => window.shownAt);
        if (at === undefined) await new Promise((resolve) => setTimeout(resolve, 20));
      }
      if (at === undefined) throw new Error(`${which}: nothing was shown`);
      times[which].push(at);
      await done();
    }
  }
  await close();
  return times;
}

const engines = {
  async chromium() {
    const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', headless: true,
      args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking'] });
    const version = browser.version();
    const times = await measure(async () => {
      const context = await browser.newContext();
      const page = await context.newPage();
      return { page, probe: (script) => page.addInitScript(script), done: () => context.close() };
    }, () => browser.close());
    return { name: `Chromium ${version}`, times };
  },
  async firefox() {
    const browser = await puppeteer.launch({ browser: 'firefox', executablePath: '/usr/bin/firefox-esr',
      headless: true, env: { ...process.env, MOZ_REMOTE_SETTINGS_DEVTOOLS: '1' },
      extraPrefsFirefox: { 'services.settings.server': 'data:,#remote-settings-dummy/v1' } });
    const version = await browser.version();
    const times = await measure(async () => {
      const context = await browser.createBrowserContext();
      const page = await context.newPage();
      return { page, probe: (script) => page.evaluateOnNewDocument(script), done: () => context.close() };
    }, () => browser.close());
    return { name: version, times };
  },
};

const kib = (file) => (statSync(file).size / 1024).toFixed(1);
// The machine's load around each engine's runs (1, 5 and 15 minutes): timings mean little on a busy machine.
const load = () => readFileSync('/proc/loadavg', 'utf8').split(' ').slice(0, 3).join(' ');
console.log(`tavrin.html ${statSync(tavrin).size} bytes (${kib(tavrin)} KiB, aim at most 200,000 bytes); ` +
  `empty page ${statSync(empty).size} bytes (${kib(empty)} KiB)`);
for (const engine of Object.values(engines)) {
  const before = load();
  const { name, times } = await engine();
  const a = median(times.tavrin);
  const b = median(times.empty);
  console.log(`${name}, from disk, medians of ${runs} taking turns: tavrin.html main dialog shown at ` +
    `${a.toFixed(1)} ms, empty page's button at ${b.toFixed(1)} ms: ${(a / b).toFixed(2)}x (aim at most 1.5x); ` +
    `load ${before} before, ${load()} after`);
}

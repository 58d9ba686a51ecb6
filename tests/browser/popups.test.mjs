// Proof in a real browser: pages written by `tavrin-cli --page`, served from
// 127.0.0.1 by this test, opened in Debian's Chromium with its real pop-up
// blocking, and checked for what a visitor would see.
// Usage: TAVRIN_CLI=/path/to/tavrin-cli node --test popups.test.mjs
import { test, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, existsSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import http from 'node:http';
import { pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';

const cli = process.env.TAVRIN_CLI;
assert.ok(cli, 'TAVRIN_CLI names the tavrin-cli to test');

const kQuiet = 1500;  // how long "nothing opens" is watched for, in ms
const kDay = 24 * 60 * 60;

// Pages are written here and served from here; any other path gets a small
// target page, so every address a pop-up is sent to loads.
const pages = mkdtempSync(path.join(tmpdir(), 'tavrin-browser-'));
const server = http.createServer((req, res) => {
  const name = decodeURIComponent(new URL(req.url, 'http://x').pathname).slice(1);
  const file = path.join(pages, name);
  const ours = /^[\w-]+\.htm$/.test(name) && existsSync(file);
  res.writeHead(200, { 'content-type': 'text/html; charset=utf-8', 'cache-control': 'no-store' });
  res.end(ours ? readFileSync(file) : '<html><body>the pop-up page</body></html>');
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const base = `http://127.0.0.1:${server.address().port}`;

const browsers = new Map();
after(async () => {
  for (const browser of browsers.values()) await (await browser).close();
  await new Promise((resolve) => server.close(resolve));
  rmSync(pages, { recursive: true, force: true });
});

// Chromium as a visitor has it, headless; `blocking` false turns its pop-up
// blocker off the way Playwright does by default.
function browser({ blocking = true } = {}) {
  if (!browsers.has(blocking)) {
    browsers.set(blocking, chromium.launch({
      executablePath: '/usr/bin/chromium',
      headless: true,
      args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
        '--disable-component-update', '--disable-sync'],
      ignoreDefaultArgs: blocking ? ['--disable-popup-blocking'] : [],
    }));
  }
  return browsers.get(blocking);
}

let pageCount = 0;
// Writes a test page with `tavrin-cli --page` and returns its address.
function makePage(options) {
  const name = `page${++pageCount}.htm`;
  const args = Object.entries(options).flatMap(([key, value]) =>
    value === true ? [`--${key}`] : [`--${key}`, String(value)]);
  execFileSync(cli, [...args, '--page', path.join(pages, name)]);
  return `${base}/${name}`;
}

// A fresh context (no cookies) with every script error of every page in it
// collected, and each window.open call and error also kept in the origin's
// localStorage, so they survive the page being left.
async function visit(options = {}) {
  const context = await (await browser(options)).newContext({ viewport: null });
  const errors = [];
  const watch = (p) => p.on('pageerror', (e) => errors.push(e.message));
  context.on('page', watch);
  await context.addInitScript(() => {
    const note = (key, text) => localStorage.setItem(key, (localStorage.getItem(key) ?? '') + text + '\n');
    addEventListener('error', (e) => note('tavrin-errors', e.message));
    const open = window.open;
    window.open = function (...args) { note('tavrin-opens', args[1]); return open.apply(this, args); };
  });
  const page = await context.newPage();
  watch(page);
  const popups = [];
  context.on('page', (p) => { if (p !== page) popups.push(p); });
  const notes = async () => page.evaluate(() => ({
    opens: (localStorage.getItem('tavrin-opens') ?? '').split('\n').filter(Boolean).length,
    errors: localStorage.getItem('tavrin-errors') ?? '',
  }));
  return { context, page, errors, popups, notes };
}

// Clicks the page's button and returns the window it opened, loaded.
async function clickOpens(v) {
  const opened = v.context.waitForEvent('page', { timeout: 10000 }).catch(() => null);
  await v.page.click('button');
  const popup = await opened;
  assert.ok(popup, `the click opened no window; script errors: ${JSON.stringify(v.errors)}`);
  await popup.waitForLoadState();
  return popup;
}

const quiet = () => new Promise((resolve) => setTimeout(resolve, kQuiet));
const near = (actual, wanted, slack, what) =>
  assert.ok(Math.abs(actual - wanted) <= slack, `${what}: ${actual}, wanted ${wanted} within ${slack}`);

test('OnButton click opens a pop-up window with the typed URL, name, size and position', async () => {
  const v = await visit();
  await v.page.goto(makePage({ trigger: 'button', url: '/target.htm', name: ' My Pop ', width: 300, height: 250,
    left: 50, top: 100 }));
  const popup = await clickOpens(v);
  assert.equal(popup.url(), `${base}/target.htm`);
  const seen = await popup.evaluate(() => ({ name, toolbar: toolbar.visible, w: innerWidth, h: innerHeight,
    x: screenX, y: screenY }));
  assert.equal(seen.name, 'MyPop');
  assert.equal(seen.toolbar, false, 'a pop-up window, not a tab');
  near(seen.w, 300, 2, 'inner width');
  near(seen.h, 250, 2, 'inner height');
  near(seen.x, 50, 2, 'left');
  near(seen.y, 100, 2, 'top');
  assert.deepEqual(v.errors, []);
  await v.context.close();
});

test('Once-only cookie with days 3 expires in 3 days and stops a second pop-up', async () => {
  const v = await visit();
  const address = makePage({ trigger: 'button', url: '/target.htm', name: 'Once Only', days: 3 });
  await v.page.goto(address);
  await (await clickOpens(v)).close();
  const cookies = await v.context.cookies();
  assert.equal(cookies.length, 1);
  assert.equal(cookies[0].name, 'OnceOnly');
  assert.equal(cookies[0].value, '3');
  near(cookies[0].expires, Date.now() / 1000 + 3 * kDay, 60, 'cookie expiry');

  await v.page.reload();
  await v.page.click('button');
  await quiet();
  assert.equal(v.popups.length, 1, 'the second click opened nothing');
  assert.deepEqual(v.errors, []);
  await v.context.close();
});

test('No cookie for days 0, empty, letters or negative: every click opens the pop-up', async () => {
  for (const days of ['0', '', 'days', '-3']) {
    const v = await visit();
    await v.page.goto(makePage({ trigger: 'button', url: '/target.htm', name: 'Every Time', days }));
    for (let click = 0; click < 2; ++click) {
      await (await clickOpens(v)).close();
      await v.page.reload();
    }
    assert.deepEqual(await v.context.cookies(), [], `days ${JSON.stringify(days)}`);
    assert.deepEqual(v.errors, []);
    await v.context.close();
  }
});

test('Cookie lifetimes are capped by the browser at 400 days', async () => {
  const v = await visit();
  await v.page.goto(makePage({ trigger: 'button', url: '/target.htm', days: 1000 }));
  await (await clickOpens(v)).close();
  const [cookie] = await v.context.cookies();
  near(cookie.expires, Date.now() / 1000 + 400 * kDay, 60, 'capped expiry');
  await v.context.close();
});

test('Pages opened from disk keep no cookie, so the once-only pop-up opens every time', async () => {
  const v = await visit();
  makePage({ trigger: 'button', url: `${base}/target.htm`, days: 3 });
  await v.page.goto(pathToFileURL(path.join(pages, `page${pageCount}.htm`)).href);
  await (await clickOpens(v)).close();
  assert.equal(await v.page.evaluate(() => document.cookie), '');
  await (await clickOpens(v)).close();
  assert.deepEqual(v.errors, []);
  await v.context.close();
});

test('OnLoad with pop-up blocking off opens the pop-up on load', async () => {
  const v = await visit({ blocking: false });
  const [popup] = await Promise.all([
    v.context.waitForEvent('page', { timeout: 10000 }),
    v.page.goto(makePage({ trigger: 'load', url: '/target.htm', name: 'On Load' })),
  ]);
  await popup.waitForLoadState();
  assert.equal(popup.url(), `${base}/target.htm`);
  assert.equal(await popup.evaluate(() => name), 'OnLoad');
  assert.deepEqual(v.errors, []);
  await v.context.close();
});

test('OnLoad with pop-up blocking on opens nothing and raises no script error', async () => {
  const v = await visit();
  await v.page.goto(makePage({ trigger: 'load', url: '/target.htm' }));
  await quiet();
  assert.equal(v.popups.length, 0);
  assert.deepEqual(await v.notes(), { opens: 1, errors: '' }, 'the function ran and asked for the window');
  assert.deepEqual(v.errors, []);
  await v.context.close();
});

test('OnClose runs the function when the page is left but opens nothing', async () => {
  for (const blocking of [true, false]) {
    const v = await visit({ blocking });
    await v.page.goto(makePage({ trigger: 'close', url: '/target.htm' }));
    await v.page.goto(`${base}/elsewhere`);
    await quiet();
    assert.equal(v.popups.length, 0, `pop-up blocking ${blocking ? 'on' : 'off'}`);
    assert.deepEqual(await v.notes(), { opens: 1, errors: '' }, 'the function ran without error');
    assert.deepEqual(v.errors, []);
    await v.context.close();
  }
});

test('Hostile texts open exactly the typed URL under exactly the stripped typed name', async () => {
  const url = `/target/it's "q" \\ </script><!--<body onload=x>é€.htm?a='b'&c="d"#<!--`;
  const name = ` O'Ne "il" \\ </script> <!-- <BODY> é€ `;
  const v = await visit();
  await v.page.goto(makePage({ trigger: 'button', url, name, width: `300'"\\</script>`, height: '250 <!--',
    days: '3"</script>;x' }));
  const popup = await clickOpens(v);
  assert.equal(popup.url(), new URL(url, base).href);
  assert.equal(await popup.evaluate(() => name), name.replaceAll(' ', ''));
  assert.deepEqual(v.errors, []);
  await v.context.close();
});

test('Every feature ticked gives a normal tab that ignores the typed size', async () => {
  const v = await visit();
  await v.page.goto(makePage({ trigger: 'button', url: '/target.htm', width: 300, height: 250, left: 50, top: 100,
    directories: true, location: true, menubar: true, resizable: true, scrollbars: true, status: true,
    toolbar: true }));
  const popup = await clickOpens(v);
  const opener = await v.page.evaluate(() => ({ w: innerWidth, h: innerHeight }));
  const seen = await popup.evaluate(() => ({ toolbar: toolbar.visible, w: innerWidth, h: innerHeight }));
  assert.equal(seen.toolbar, true, 'a normal tab');
  assert.deepEqual({ w: seen.w, h: seen.h }, opener, 'the tab has the size of the window, not the typed one');
  assert.deepEqual(v.errors, []);
  await v.context.close();
});

test('Pop under runs the script without error', async () => {
  const v = await visit();
  await v.page.goto(makePage({ trigger: 'button', url: '/target.htm', placement: 'under' }));
  const popup = await clickOpens(v);
  assert.equal(popup.url(), `${base}/target.htm`);
  assert.deepEqual(await v.notes(), { opens: 1, errors: '' });
  assert.deepEqual(v.errors, []);
  await v.context.close();
});

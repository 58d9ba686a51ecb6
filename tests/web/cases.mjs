// tavrin.html driven as a user drives it, with keys and clicks, case by case.
// Every case runs in every engine (run.mjs); each line starting with `test('`
// becomes the CTest test `web[<engine>]: <name>`.
//
// The page is served from 127.0.0.1, as from any static web server, except
// where a case opens it from disk. What the program shows is read from the
// page: the open dialogs, their titles, and each control by its accessible
// name. Expected texts come from tavrin-cli with the same settings.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { once } from 'node:events';
import { mkdtempSync, readFileSync } from 'node:fs';
import http from 'node:http';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { until } from '../browser/engines.mjs';

export const cases = [];
const test = (name, run) => cases.push({ name, run });

// A page that asks for a window as it loads, and says whether it got one.
const kOpener = `<!doctype html><title>ready</title><script>
addEventListener('load', () => { setTimeout(() => { document.title = window.open('/blank') ? 'opened' : 'blocked'; }); });
</script>`;

// Serves tavrin.html at /tavrin.html; any other address gets a small page.
export async function openSite(html) {
  const server = http.createServer((req, res) => {
    const at = new URL(req.url, 'http://x').pathname;
    res.writeHead(200, { 'content-type': 'text/html', 'cache-control': 'no-store' });
    if (at === '/tavrin.html') res.end(readFileSync(html));
    else if (at === '/opener') res.end(kOpener);
    else res.end('<!doctype html><title>blank</title><p>blank</p>');
  });
  server.listen(0, '127.0.0.1');
  await once(server, 'listening');
  const base = `http://127.0.0.1:${server.address().port}`;
  return { served: `${base}/tavrin.html`, disk: pathToFileURL(html).href, base, close: () => server.close() };
}

// The top dialog and every control in it, by accessible name, in page order.
const kTop = `(() => {
  const all = [...document.querySelectorAll('dialog[open]')];
  const d = all[all.length - 1];
  const ended = document.getElementById('tavrin-ended') !== null;
  if (!d) return { dialogs: 0, ended };
  const name = (el) => el.getAttribute('aria-label') || (el.closest('label') || el).textContent;
  const controls = [...d.querySelectorAll('.tv-client input, .tv-client textarea, .tv-client button')];
  const focused = controls.includes(document.activeElement) ? name(document.activeElement) : null;
  return {
    dialogs: all.length, ended, role: d.getAttribute('role'),
    title: document.getElementById(d.getAttribute('aria-labelledby')).textContent,
    text: d.hasAttribute('aria-describedby') ? document.getElementById(d.getAttribute('aria-describedby')).textContent
      : null,
    focused,
    controls: controls.map((el) => ({ name: name(el), role: el.getAttribute('role') || el.type,
      value: el.value, checked: el.checked, expanded: el.getAttribute('aria-expanded'),
      set: el.hasAttribute('aria-setsize') ? el.getAttribute('aria-posinset') + ' of ' + el.getAttribute('aria-setsize')
        : null,
      context: el.hasAttribute('aria-describedby') ? document.getElementById(el.getAttribute('aria-describedby'))
        .textContent : null })),
    texts: [...d.querySelectorAll('.tv-text')].map((el) => el.textContent),
  };
})()`;

const top = (v) => v.eval(kTop);
// Waits until the top dialog passes `check`; fails with what was shown last.
async function waitFor(v, what, check) {
  let last = null;
  const seen = await until(async () => { last = await top(v); return check(last) ? last : null; });
  assert.ok(seen, `${what}; the page showed ${JSON.stringify(last)?.slice(0, 600)}`);
  return seen;
}
const titled = (v, title) => waitFor(v, `a dialog "${title}" on top`, (s) => s.title === title);
const control = (state, name) => state.controls.find((c) => c.name === name);

// Clicks the first element of the top dialog matching `selector` whose text begins with `text`.
async function clickText(v, selector, text) {
  const found = await v.eval(`(() => {
    const all = [...document.querySelectorAll('dialog[open]')];
    const el = [...all[all.length - 1].querySelectorAll(${JSON.stringify(selector)})]
      .find((e) => e.textContent.startsWith(${JSON.stringify(text)}));
    document.querySelectorAll('[data-click]').forEach((e) => e.removeAttribute('data-click'));
    if (el) el.setAttribute('data-click', '');
    return !!el;
  })()`);
  assert.ok(found, `nothing to click that says "${text}"`);
  await v.clickOn('[data-click]');
}

async function start(t, { disk = false } = {}) {
  const v = await t.visit();
  await v.goto(disk ? t.site.disk : t.site.served);
  await titled(v, 'Tavrin');
  return v;
}

// What tavrin-cli prints for these options, one text or all three.
function cli(t, args, print) {
  return execFileSync(t.cli, [...args, '--print', print], { maxBuffer: 1 << 24 }).toString('utf8');
}
// A text box's value as a page holds it: line ends as LF.
const lf = (text) => text.replace(/\r\n/g, '\n');

// Create Popup, then the three texts of the Results dialog against tavrin-cli's.
async function resultsEqualCli(t, v, args) {
  await clickText(v, 'button', 'Create Popup');
  const results = await titled(v, 'Results');
  assert.equal(control(results, 'JavaScript Functions').value, lf(cli(t, args, 'functions')), 'functions');
  assert.equal(control(results, 'Load Function Source').value, lf(cli(t, args, 'loader')), 'loader');
  assert.ok(results.texts.includes(cli(t, args, 'instruction')), 'instruction line');
  return results;
}

// The main dialog's tab stops, in template order.
const kTabOrder = ['Name', 'URL', 'On Load', 'On Close', 'On Button', 'Pop Over', 'Pop Under', 'Directories',
  'Menu Bar', 'Location', 'Resizable', 'Scroll Bars', 'Status Bar', 'Toolbar', 'Height', 'Width', 'X', 'Y',
  'Center', 'Days', 'Quit', 'Create Popup', 'Test Popup', 'Help'];

test('defaults on first display, opened from disk', async (t) => {
  const v = await start(t, { disk: true });
  const s = await top(v);
  assert.equal(s.focused, 'Name');
  const ticked = s.controls.filter((c) => c.checked).map((c) => c.name);
  assert.deepEqual(ticked, ['On Load', 'Pop Over']);
  assert.equal(control(s, 'Days').role, 'combobox');
  // What a screen reader tells besides the name: a radio's place in its set, a control's group box.
  assert.deepEqual(['On Load', 'On Button', 'Pop Under', 'X', 'Toolbar', 'Name'].map((n) => [n, control(s, n).set,
    control(s, n).context]), [['On Load', '1 of 3', 'When to PopUp:'], ['On Button', '3 of 3', 'When to PopUp:'],
    ['Pop Under', '2 of 2', 'Where to PopUp'], ['X', null, 'Popup Position:'], ['Toolbar', null, 'Popup Feartures:'],
    ['Name', null, null]]);
  // The defaults make exactly what tavrin-cli makes with no option.
  await resultsEqualCli(t, v, []);
});

test('Tab goes through every control in template order', async (t) => {
  const v = await start(t);
  const seen = [];
  for (let i = 0; i <= kTabOrder.length; i++) {
    if (i > 0) await v.press('Tab');
    seen.push((await top(v)).focused);
  }
  assert.deepEqual(seen, [...kTabOrder, 'Name']);
  await v.press('Shift+Tab');
  assert.equal((await top(v)).focused, 'Help');
});

test('non-ASCII text and a 100 KB URL give the texts of tavrin-cli', async (t) => {
  const v = await start(t);
  const name = 'Fenêtre Ωμέγα 窓';
  const url = `https://example.org/${'ä/'.repeat(10)}${'x'.repeat(100 * 1024)}`;
  await v.press('Control+a');
  await v.insertText(name);
  await v.press('Tab');
  await v.press('Control+a');
  await v.insertText(url);
  const s = await top(v);
  assert.equal(control(s, 'URL').value.length, url.length);
  await resultsEqualCli(t, v, ['--name', name, '--url', url]);
});

test('copy buttons put exactly the script on the clipboard, a refused copy is told', async (t) => {
  const v = await start(t);
  await clickText(v, 'button', 'Create Popup');
  await titled(v, 'Results');
  for (const [button, print] of [['Copy Loader', 'loader'], ['Copy Functions', 'functions']]) {
    await clickText(v, 'button', button);
    const copied = await until(async () => {
      const text = await v.clipboard();
      return text === cli(t, [], print) ? text : null;
    }, 5000);
    assert.ok(copied, `${button}: the clipboard holds the script's bytes`);
  }
  // No "not copied" box came up: Escape reaches the Results dialog itself.
  await v.press('Escape');
  await titled(v, 'Tavrin');
  // A write the browser refuses (as it does without permission or focus) is told in the program's words.
  await v.eval(`Object.defineProperty(navigator.clipboard, 'writeText', { value: () =>
    Promise.reject(new DOMException('Write permission denied.', 'NotAllowedError')) })`);
  await clickText(v, 'button', 'Create Popup');
  await titled(v, 'Results');
  await clickText(v, 'button', 'Copy Functions');
  const refused = await titled(v, 'Copy to Clipboard');
  assert.equal(refused.role, 'alertdialog');
  assert.equal(refused.text, 'The text was not copied to the clipboard: the clipboard did not accept it.');
  await v.press('Enter');
  assert.equal((await titled(v, 'Results')).dialogs, 2);
});

test('Return closes the Results dialog', async (t) => {
  const v = await start(t);
  await clickText(v, 'button', 'Create Popup');
  const results = await titled(v, 'Results');
  assert.equal(results.focused, 'Return');
  await v.press('Enter');
  const s = await titled(v, 'Tavrin');
  assert.equal(s.dialogs, 1);
});

test('Days list: F4, Alt+Down and the arrow drop it, Enter picks, Escape closes', async (t) => {
  const v = await start(t);
  await v.clickOn('[role=combobox]');
  await v.press('F4');
  let s = await waitFor(v, 'the list dropped', (x) => control(x, 'Days').expanded === 'true');
  await v.press('ArrowDown');
  await v.press('ArrowDown');
  await v.press('ArrowDown');
  await v.press('Enter');
  s = await waitFor(v, 'the list closed', (x) => control(x, 'Days').expanded === 'false');
  assert.equal(control(s, 'Days').value, '3');
  await v.press('Alt+ArrowDown');
  await waitFor(v, 'the list dropped again', (x) => control(x, 'Days').expanded === 'true');
  await v.press('ArrowDown');
  await v.press('Escape');
  s = await waitFor(v, 'the list closed by Escape', (x) => control(x, 'Days').expanded === 'false');
  assert.equal(s.dialogs, 1, 'Escape closed only the list');
  assert.equal(control(s, 'Days').value, '3', 'Escape kept the item picked before');
  await v.clickOn('[aria-label="Open list"]');
  await waitFor(v, 'the list dropped by its arrow', (x) => control(x, 'Days').expanded === 'true');
  await v.clickOn('[role=option]:nth-child(7)');
  s = await waitFor(v, 'a picked item', (x) => control(x, 'Days').value === '7');
  await resultsEqualCli(t, v, ['--days', '7']);
});

// Test Popup, then the new tab holding the test page (where the page's own pop-up opened too, as WebKit
// lets it, the order of the two is the engine's); its page against tavrin-cli's for `args`.
async function testPopup(t, v, args) {
  await clickText(v, 'button', 'Test Popup');
  let tab = null;
  for (let i = 0; i < 2 && !tab; i++) {
    const opened = await v.nextPopup();
    assert.ok(opened, 'no tab with the test page opened');
    const title = await until(() => opened.eval('document.readyState === "complete" ? document.title : null'));
    if (title === 'Tavrin Test Page') tab = opened;
  }
  const file = path.join(mkdtempSync(path.join(tmpdir(), 'tavrin-web-')), 'tvtest.htm');
  execFileSync(t.cli, [...args, '--page', file]);
  const expected = await v.eval(`new DOMParser().parseFromString(${JSON.stringify(readFileSync(file, 'utf8'))},
    'text/html').documentElement.outerHTML`);
  assert.equal(await tab.eval('document.documentElement.outerHTML'), expected);
  return tab;
}

test('Test Popup opens the test page in a new tab, pop-up blocker on, a refused tab is told', async (t) => {
  const v = await t.visit();
  // The blocker is on: a page may not open a window as it loads.
  await v.goto(`${t.site.base}/opener`);
  const control = await until(() => v.eval('document.title === "ready" ? null : document.title'));
  assert.equal(control, 'blocked', 'the pop-up blocker is off');
  await v.goto(t.site.served);
  await titled(v, 'Tavrin');
  // Served, the tab shares the page's cookies (the once-only cookie it sets is the page's), except in
  // WebKit, where a page written into a new window keeps no cookie at all.
  await v.clickOn('[role=combobox]');
  await v.press('1');
  const tab = await testPopup(t, v, ['--days', '1']);
  if (t.engine === 'webkit') {
    assert.equal(await tab.eval('document.cookie'), '', 'WebKit kept the test page\'s cookie');
  } else {
    assert.ok(await until(() => v.eval('document.cookie.includes("PopUp=1") || null')), 'no once-only cookie');
  }
  // From disk, the tab is a page of its own.
  const disk = await start(t, { disk: true });
  await (await testPopup(t, disk, [])).close();
  // A tab the browser refuses (window.open answers null, as when the blocker takes it) is told in the
  // program's words, naming the page in the program's own memory.
  await disk.eval('window.open = () => null');
  await clickText(disk, 'button', 'Test Popup');
  const refused = await titled(disk, 'Test Popup');
  assert.equal(refused.role, 'alertdialog');
  assert.equal(refused.text,
    'No program could be started to show the test page. Open this file in your browser:\n/tvtest.htm');
  await disk.press('Enter');
  assert.equal((await titled(disk, 'Tavrin')).dialogs, 1);
});

test('About box from the window menu', async (t) => {
  const v = await start(t);
  await v.clickOn('[aria-label="Window menu"]');
  await clickText(v, '[role=menuitem]', 'About Tavrin');
  const about = await titled(v, 'About Tavrin');
  assert.ok(about.texts.some((text) => /^Tavrin Version \d/.test(text)));
  await v.press('Enter');
  assert.equal((await titled(v, 'Tavrin')).dialogs, 1);
});

test('Escape ends the program', async (t) => {
  const v = await start(t);
  await v.press('Escape');
  await waitFor(v, 'the program ended', (s) => s.ended && s.dialogs === 0);
});

test('the close box ends the program', async (t) => {
  const v = await start(t);
  await v.clickOn('[aria-label="Close"]');
  await waitFor(v, 'the program ended', (s) => s.ended && s.dialogs === 0);
});

// What a visitor's browser does with the generated pop-up, case by case.
// Every case runs in every engine (run.mjs); each line starting with
// `test('` becomes the CTest test `browser[<engine>]: <name>`, so names are
// plain words, commas and colons. Where engines really differ, the case
// says what each one does.
//
// Pages are written by `tavrin-cli --page` and opened as a visitor would:
// served from 127.0.0.1 with no character set in the header (as a plain web
// server sends them), or from disk. Each gets a small recorder script
// right after its <head> that reports every window.open call and every script
// error to the test server, so both survive the page being left.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { once } from 'node:events';
import { existsSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import http from 'node:http';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { until } from './engines.mjs';

export const cases = [];
const test = (name, run) => cases.push({ name, run });

const kDay = 24 * 60 * 60;

// The test server, the pages it serves and what their recorders reported.
// Any address other than a page of ours gets a small target page, so every
// address a pop-up is sent to loads.
//
// A recorder numbers its reports, so the server knows when it has all that a
// page sent so far, and reports a click, the load and the unload once the
// page's own handlers of that event have run: a case that checks that
// nothing happened waits for that report first, never for a fixed time.
export async function openSite(cli) {
  const pages = mkdtempSync(path.join(tmpdir(), 'tavrin-browser-'));
  let notes = [];
  const server = http.createServer((req, res) => {
    if (req.method === 'POST') {
      let body = '';
      req.setEncoding('utf8').on('data', (part) => { body += part; }).on('end', () => {
        const [, page, count, text] = body.match(/^(\S+) (\d+) ([^]*)$/) ?? [];
        if (page) notes.push({ page, count: Number(count), text });
        res.end();
      });
      return;
    }
    const name = decodeURIComponent(new URL(req.url, 'http://x').pathname).slice(1);
    const ours = /^page\d+\.htm$/.test(name) && existsSync(path.join(pages, name));
    res.writeHead(200, { 'content-type': 'text/html', 'cache-control': 'no-store' });
    res.end(ours ? readFileSync(path.join(pages, name))
      : '<html><head><meta charset="utf-8"></head><body>the pop-up page</body></html>');
  });
  server.listen(0, '127.0.0.1');
  await once(server, 'listening');
  const base = `http://127.0.0.1:${server.address().port}`;
  const recorder = `<script>(function () {
  var page = Math.random().toString(36).slice(2), count = 0;
  var note = function (text) { navigator.sendBeacon('${base}/note', page + ' ' + (++count) + ' ' + text); };
  addEventListener('error', function (e) { note('error ' + e.message); });
  var open = window.open;
  window.open = function () {
    var popup = open.apply(window, arguments);
    note(popup ? 'open' : 'blocked');
    return popup;
  };
  addEventListener('click', function () { note('handled click'); });
  addEventListener('load', function () {
    setTimeout(function () { note('handled load'); });
    addEventListener('unload', function () { note('handled unload'); });
  });
})();</script>`;
  // Every page's reports have arrived up to the last one it sent.
  const complete = () => {
    const counts = new Map();
    for (const n of notes) counts.set(n.page, [...(counts.get(n.page) ?? []), n.count]);
    return [...counts.values()].every((c) => Math.max(...c) === c.length);
  };
  // Pages of earlier visits may still report (their unload, as their
  // browser closes): what they say counts for completeness only.
  let earlier = new Set();
  const current = () => notes.filter((n) => !earlier.has(n.page));
  const times = (event) => current().filter((n) => n.text === `handled ${event}`).length;
  const summary = () => ({
    opens: current().filter((n) => n.text === 'open' || n.text === 'blocked').length,
    blocked: current().filter((n) => n.text === 'blocked').length,
    errors: current().filter((n) => n.text.startsWith('error ')).map((n) => n.text.slice(6)),
  });

  let count = 0;
  return {
    base,
    // Writes a test page for the given tavrin-cli options; gives its address
    // on the server and on disk.
    page(options) {
      const file = path.join(pages, `page${++count}.htm`);
      const args = Object.entries(options).flatMap(([key, value]) =>
        (value === true ? [`--${key}`] : [`--${key}`, String(value)]));
      execFileSync(cli, [...args, '--page', file]);
      const written = readFileSync(file, 'latin1');
      writeFileSync(file, written.replace('<head>', `<head>${recorder}`), 'latin1');
      return { http: `${base}/${path.basename(file)}`, disk: pathToFileURL(file).href };
    },
    forget: () => { earlier = new Set(notes.map((n) => n.page)); },
    times,
    // What the pages opened since `forget` reported (window.open calls, those
    // that were blocked, script errors), once every report sent has arrived;
    // with `event`, once the pages have handled it `n` times.
    async notes(event, n = 1) {
      const ready = await until(() => Promise.resolve((!event || times(event) >= n) && complete() ? true : null));
      assert.ok(ready, event ? `the page never reported that it had handled the ${event}` : 'reports went missing');
      return summary();
    },
    async close() {
      server.closeAllConnections();
      server.close();
      rmSync(pages, { recursive: true, force: true });
    },
  };
}

const near = (actual, wanted, slack, what) =>
  assert.ok(Math.abs(actual - wanted) <= slack, `${what}: ${actual}, wanted ${wanted} within ${slack}`);
const inDays = (days) => Date.now() / 1000 + days * kDay;

// Clicks the page's button and returns the window it opened.
async function clickOpens(v) {
  await v.click();
  const popup = await v.nextPopup();
  assert.ok(popup, `the click opened no window; script errors: ${JSON.stringify(v.errors())}`);
  return popup;
}

// Clicks the page's button and checks that, once the page has handled the
// click, it asked for no window and none opened.
async function clickOpensNothing(t, v) {
  const before = await v.opened();
  const asked = (await t.notes()).opens;
  await v.click();
  assert.equal((await t.notes()).opens, asked, 'the click asked for a window');
  assert.equal(await v.opened(), before, 'the click opened a window');
}

// A once-only pop-up: the first click opens it and sets its cookie, leaving
// the site's cookies as `cookies` lists them, and a second visit's click
// opens nothing. Gives the pop-up as it was seen.
async function opensOnce(t, v, options, cookies) {
  await v.goto(t.page({ trigger: 'button', url: '/target.htm', ...options }).http);
  const popup = await clickOpens(v);
  const seen = await popup.read();
  await popup.close();
  const pairs = (await v.cookies()).map((c) => `${c.name}=${c.value}`);
  assert.deepEqual(pairs.sort(), cookies.sort());
  await v.reload();
  await clickOpensNothing(t, v);
  await t.noErrors(v);
  return seen;
}

test('OnButton click opens the typed URL, name, size and position', async (t) => {
  const v = await t.visit();
  await v.goto(t.page({ trigger: 'button', url: '/target.htm', name: ' My Pop ', width: 300, height: 250,
    left: 50, top: 100 }).http);
  const seen = await (await clickOpens(v)).read();
  assert.equal(seen.url, `${t.base}/target.htm`);
  assert.equal(seen.name, 'MyPop');
  assert.equal(seen.toolbar, false, 'a pop-up window, not a tab');
  // WebKitGTK's browser keeps a window without a toolbar at least 334 pixels wide.
  near(seen.w, t.engine === 'webkit' ? 334 : 300, 2, 'inner width');
  near(seen.h, 250, 2, 'inner height');
  near(seen.x, 50, 2, 'left');
  near(seen.y, 100, 2, 'top');
  await t.noErrors(v);
});

test('Once-only cookie, days 3: expires in 3 days, opens once', async (t) => {
  const v = await t.visit();
  await opensOnce(t, v, { name: 'Once Only', days: 3 }, ['OnceOnly=3']);
  const [cookie] = await v.cookies();
  near(cookie.expires, inDays(3), 60, 'cookie expiry');
});

test('No cookie for days 0, empty, letters or negative', async (t) => {
  const v = await t.visit();
  for (const days of ['0', '', 'days', '-3']) {
    await v.goto(t.page({ trigger: 'button', url: '/target.htm', name: 'Every Time', days }).http);
    await (await clickOpens(v)).close();
    await v.reload();
    await (await clickOpens(v)).close();
    assert.deepEqual(await v.cookies(), [], `days ${JSON.stringify(days)}`);
  }
  await t.noErrors(v);
});

// Chromium and Firefox cap a cookie's life at 400 days; WebKitGTK does not.
test('Cookie lifetime for days 1000', async (t) => {
  const v = await t.visit();
  await v.goto(t.page({ trigger: 'button', url: '/target.htm', days: 1000 }).http);
  await (await clickOpens(v)).close();
  const [cookie] = await v.cookies();
  near(cookie.expires, inDays(t.engine === 'webkit' ? 1000 : 400), 60, 'expiry');
});

// Chromium keeps no cookies for pages on disk, so the pop-up opens every
// time; Firefox and WebKit keep them.
test('Once-only cookie on a page opened from disk', async (t) => {
  const v = await t.visit();
  await v.goto(t.page({ trigger: 'button', url: `${t.base}/target.htm`, days: 3 }).disk);
  await (await clickOpens(v)).close();
  if (t.engine === 'chromium') {
    assert.equal(await v.eval('document.cookie'), '');
    await (await clickOpens(v)).close();
  } else {
    assert.equal(await v.eval('document.cookie'), 'PopUp=3');
    await v.reload();
    await clickOpensNothing(t, v);
  }
  await t.noErrors(v);
});

// Blocking off stands for a visitor who allows pop-ups for the site.
test('OnLoad with pop-up blocking off', async (t) => {
  const v = await t.visit({ blocking: false });
  await v.goto(t.page({ trigger: 'load', url: '/target.htm', name: 'On Load' }).http);
  const popup = await v.nextPopup();
  assert.ok(popup, 'nothing opened on load');
  const seen = await popup.read();
  assert.equal(seen.url, `${t.base}/target.htm`);
  assert.equal(seen.name, 'OnLoad');
  await t.noErrors(v);
});

test('OnLoad with pop-up blocking on', async (t) => {
  const v = await t.visit();
  await v.goto(t.page({ trigger: 'load', url: '/target.htm' }).http);
  assert.deepEqual(await t.notes('load'), { opens: 1, blocked: 1, errors: [] },
    'the function ran and asked for the window, which was blocked');
  assert.equal(await v.opened(), 0);
  await t.noErrors(v);
});

// The function runs as the page is left. Chromium never opens a window then;
// Firefox and WebKit do where pop-ups are allowed.
test('OnClose with pop-up blocking on and off', async (t) => {
  for (const blocking of [true, false]) {
    const v = await t.visit({ blocking });
    await v.goto(t.page({ trigger: 'close', url: '/target.htm', name: 'Bye' }).http);
    await v.goto(`${t.base}/elsewhere`);
    const { opens, blocked, errors } = await t.notes('unload');
    assert.deepEqual({ opens, errors }, { opens: 1, errors: [] }, 'the function ran without error');
    if (blocking || t.engine === 'chromium') {
      assert.equal(blocked, 1, `pop-up blocking ${blocking ? 'on' : 'off'}: window.open gave a window`);
      assert.equal(await v.opened(), 0, `pop-up blocking ${blocking ? 'on' : 'off'}`);
    } else {
      const popup = await v.nextPopup();
      assert.ok(popup, 'nothing opened as the page was left');
      assert.deepEqual(await popup.read().then(({ url, name }) => ({ url, name })),
        { url: `${t.base}/target.htm`, name: 'Bye' });
    }
    await t.noErrors(v);
    await v.close();
  }
});

test('Hostile texts open exactly the typed URL and name', async (t) => {
  const url = `/target/it's "q" \\ </script><!--<body onload=x>é€.htm?a='b'&c="d"#<!--`;
  const name = ` O'Ne "il" \\ </script> <!-- <BODY> é€ `;
  const v = await t.visit();
  await v.goto(t.page({ trigger: 'button', url, name, width: `300'"\\</script>`, height: '250 <!--',
    days: '3"</script>;x' }).http);
  const seen = await (await clickOpens(v)).read();
  assert.equal(seen.url, new URL(url, t.base).href);
  assert.equal(seen.name, name.replaceAll(' ', ''));
  await t.noErrors(v);
});

// With every feature ticked Chromium and Firefox open a normal tab and ignore
// the typed size; WebKit opens a window with its toolbars at the typed outer
// size and position.
test('Every feature ticked', async (t) => {
  const v = await t.visit();
  await v.goto(t.page({ trigger: 'button', url: '/target.htm', width: 600, height: 500, left: 50, top: 100,
    directories: true, location: true, menubar: true, resizable: true, scrollbars: true, status: true,
    toolbar: true }).http);
  const seen = await (await clickOpens(v)).read();
  assert.equal(seen.toolbar, true, 'the toolbar shows');
  if (t.engine === 'webkit') {
    assert.deepEqual([seen.ow, seen.oh, seen.x, seen.y], [600, 500, 50, 100], 'outer size and position');
  } else {
    const opener = await v.eval('({ w: innerWidth, h: innerHeight })');
    assert.deepEqual({ w: seen.w, h: seen.h }, opener, 'the tab has the size of the window, not the typed one');
  }
  await t.noErrors(v);
});

// A headless browser cannot show which window is in front: the script runs.
test('Pop under', async (t) => {
  const v = await t.visit();
  await v.goto(t.page({ trigger: 'button', url: '/target.htm', placement: 'under' }).http);
  const seen = await (await clickOpens(v)).read();
  assert.equal(seen.url, `${t.base}/target.htm`);
  assert.deepEqual(await t.notes(), { opens: 1, blocked: 0, errors: [] });
  await t.noErrors(v);
});

test('Cookies holding the window name do not stop the pop-up', async (t) => {
  const v = await t.visit();
  await v.goto(`${t.base}/elsewhere`);
  await v.eval("document.cookie = 'XPopUpSeen=1', document.cookie = 'last=PopUp', document.cookie = 'PopUpShown=1'");
  await opensOnce(t, v, { days: 5 }, ['XPopUpSeen=1', 'last=PopUp', 'PopUpShown=1', 'PopUp=5']);
});

// The cookie of a nameless window is called "tavrin"; others that a cookie
// name cannot hold are percent-encoded.
test('Empty window name, days 5: opens once, no script error', async (t) => {
  const v = await t.visit();
  const seen = await opensOnce(t, v, { name: '   ', days: 5 }, ['tavrin=5']);
  assert.equal(seen.name, '');
});

test('Window name with semicolon, equals sign and non-ASCII letter', async (t) => {
  const v = await t.visit();
  const seen = await opensOnce(t, v, { name: 'Prix; a=ü', days: 5 }, ['Prix%3Ba%3D%C3%BC=5']);
  assert.equal(seen.name, 'Prix;a=ü');
});

// The page as the Linux program writes it, UTF-8; WebKit reads a page from
// disk as Windows-1252 unless the page says otherwise. (Over HTTP without a
// character set every engine does: see the hostile texts.)
test('Non-ASCII URL and window name from a page on disk', async (t) => {
  const url = `${t.base}/målsida-ü.htm?q=é€`;
  const v = await t.visit();
  await v.goto(t.page({ trigger: 'button', url, name: 'Fenêtre-ü€' }).disk);
  const seen = await (await clickOpens(v)).read();
  assert.equal(seen.url, new URL(url).href);
  assert.equal(seen.name, 'Fenêtre-ü€');
  await t.noErrors(v);
});

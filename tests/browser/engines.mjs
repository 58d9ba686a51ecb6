// The three browser engines behind one small interface, so every case runs
// unchanged in each. An engine is started once per suite run (twice where
// pop-up blocking can only be set at start-up) and gives out visits:
//
//   const visit = await engine.visit({ blocking });  // fresh cookies, one tab
//   await visit.goto(url); await visit.click();     // the page's button
//   const popup = await visit.nextPopup();          // null if none opened
//   await popup.read();  // { url, name, toolbar, w, h, ow, oh, x, y } once loaded:
//                        // inner and outer size, screen position
//   await visit.opened();  // how many windows the page has opened so far
//   await visit.cookies(); await visit.eval('document.cookie');
//   visit.errors();      // script errors the engine itself reported
//   await visit.close();
//
// Driving a page as a user would (tests/web):
//   await visit.press('Shift+Tab'); await visit.clickOn('css selector');
//   await visit.clickAt(x, y);          // wherever the page's pixel (x, y) is
//   await visit.insertText(text);       // as a paste into the focused field
//   await visit.clipboard();            // the clipboard's text, or null where
//                                       // the engine lets no test read it
//   await popup.eval('document.title'); // in a pop-up or new tab
//
// Chromium runs through playwright-core, Firefox through puppeteer-core over
// WebDriver BiDi, WebKit through WebKitGTK's WebDriver server over HTTP.
import { execFile, spawn } from 'node:child_process';
import { once } from 'node:events';
import net from 'node:net';
import { chromium } from 'playwright-core';
import puppeteer from 'puppeteer-core';

const kWait = 10000;  // how long a window or a page may take to appear, in ms

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Polls `probe` until it gives something other than null or undefined, or
// the time is up (then null). A probe that throws counts as not yet.
export async function until(probe, ms = kWait) {
  for (const end = Date.now() + ms; ;) {
    const value = await probe().catch(() => null);
    if (value !== null && value !== undefined) return value;
    if (Date.now() > end) return null;
    await sleep(50);
  }
}

const kRead = `({ url: location.href, name: window.name, toolbar: toolbar.visible, w: innerWidth, h: innerHeight,
  ow: outerWidth, oh: outerHeight, x: screenX, y: screenY,
  loaded: document.readyState === 'complete' && location.href !== 'about:blank' })`;

// A pop-up window as the cases see it, given how to evaluate in it and close it.
function popupOf(evaluate, close) {
  return {
    async read() {
      const seen = await until(async () => { const s = await evaluate(kRead); return s.loaded ? s : null; });
      if (!seen) throw new Error('the pop-up never finished loading a page');
      delete seen.loaded;
      return seen;
    },
    eval: evaluate,
    close,
  };
}

// Presses `keys` ('Tab', 'Alt+ArrowDown') with a page's keyboard, holding
// the modifiers named before the last '+'.
async function pressKeys(keyboard, keys) {
  const parts = keys.split('+');
  const key = parts.pop();
  for (const modifier of parts) await keyboard.down(modifier);
  await keyboard.press(key);
  for (const modifier of parts.reverse()) await keyboard.up(modifier);
}

// Hands out pop-ups in the order they opened. `windows` lists them so far;
// `refresh` brings it up to date where the engine does not push new windows.
function popupQueue(windows, refresh = async () => {}) {
  let taken = 0;
  return {
    opened: async () => { await refresh(); return windows.length; },
    async nextPopup(ms = kWait) {
      const found = await until(async () => { await refresh(); return windows.length > taken ? true : null; }, ms);
      return found ? windows[taken++] : null;
    },
  };
}

// Starts a browser per pop-up-blocking setting, when first asked for it, and
// says which version runs (Debian updates them under us).
function perBlocking(name, launch) {
  const launched = new Map();
  return {
    get(blocking) {
      if (!launched.has(blocking)) {
        launched.set(blocking, launch(blocking).then(async (browser) => {
          console.log(`${name} ${await browser.version()}, pop-up blocking ${blocking ? 'on' : 'off'}`);
          return browser;
        }));
      }
      return launched.get(blocking);
    },
    async closeAll(close) {
      for (const browser of launched.values()) await browser.then(close).catch(() => {});
    },
  };
}

// A visit in a browser context of playwright or puppeteer, whose pages share
// these calls; `popped` takes each pop-up page as the engine reports it.
function pageVisit(context, main) {
  const errors = [];
  main.on('pageerror', (e) => errors.push(e.message));
  const windows = [];
  return {
    popped: (p) => windows.push(popupOf((expr) => p.evaluate(expr), () => p.close())),
    goto: async (url) => { await main.goto(url); },
    reload: async () => { await main.reload(); },
    click: () => main.click('button'),
    eval: (expr) => main.evaluate(expr),
    press: (keys) => pressKeys(main.keyboard, keys),
    clickOn: (selector) => main.click(selector),
    clickAt: (x, y) => main.mouse.click(x, y),
    // Playwright inserts the text as a paste would; puppeteer types one character at a time, so the text
    // goes through the clipboard and Ctrl+V.
    insertText: async (text) => {
      if (main.keyboard.insertText) return main.keyboard.insertText(text);
      await main.evaluate((t) => navigator.clipboard.writeText(t), text);
      return pressKeys(main.keyboard, 'Control+v');
    },
    clipboard: () => main.evaluate('navigator.clipboard.readText()'),
    ...popupQueue(windows),
    errors: () => errors,
    cookies: async () => (await context.cookies()).map(({ name, value, expires }) => ({ name, value, expires })),
    close: () => context.close(),
  };
}

function chromiumEngine() {
  const browsers = perBlocking('Chromium', (blocking) => chromium.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync'],
    // Playwright turns the pop-up blocker off unless told not to.
    ignoreDefaultArgs: blocking ? ['--disable-popup-blocking'] : [],
  }));
  return {
    async visit({ blocking = true } = {}) {
      const context = await (await browsers.get(blocking)).newContext({ viewport: null });
      await context.grantPermissions(['clipboard-read', 'clipboard-write']);
      const main = await context.newPage();
      const v = pageVisit(context, main);
      context.on('page', v.popped);
      return v;
    },
    close: () => browsers.closeAll((browser) => browser.close()),
  };
}

function firefoxEngine() {
  const browsers = perBlocking('Firefox', (blocking) => puppeteer.launch({
    browser: 'firefox',
    defaultViewport: null,
    executablePath: '/usr/bin/firefox-esr',
    headless: true,
    // Without these Firefox asks the network for its remote settings at
    // every start; there is no network here.
    env: { ...process.env, MOZ_REMOTE_SETTINGS_DEVTOOLS: '1' },
    // Puppeteer's profile turns the pop-up blocker off.
    // The testing switch lets a page read the clipboard without asking.
    extraPrefsFirefox: { 'dom.disable_open_during_load': blocking, 'dom.events.testing.asyncClipboard': true,
      'services.settings.server': 'data:,#remote-settings-dummy/v1' },
  }));
  return {
    async visit({ blocking = true } = {}) {
      const context = await (await browsers.get(blocking)).createBrowserContext();
      const main = await context.newPage();
      const v = pageVisit(context, main);
      main.on('popup', (p) => p && v.popped(p));
      return v;
    },
    close: () => browsers.closeAll((browser) => browser.close()),
  };
}

// A port no one listens on just now.
async function freePort() {
  const server = net.createServer().listen(0, '127.0.0.1');
  await once(server, 'listening');
  const { port } = server.address();
  server.close();
  return port;
}

const kMiniBrowser = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';

let said = false;  // whether WebKit's version has been told

// The X clipboard's text, as the browser on this display left it.
const readClipboard = () => new Promise((resolve) => {
  execFile('xclip', ['-o', '-selection', 'clipboard'], { maxBuffer: 1 << 24, timeout: 5000 },
    (error, stdout) => resolve(error ? null : stdout));
});

// One WebKitGTK WebDriver server, which takes one session at a time.
async function webDriver() {
  const port = await freePort();
  const driver = spawn('WebKitWebDriver', [`--port=${port}`], { detached: true, stdio: 'ignore' });
  const call = async (method, path, body) => {
    const response = await fetch(`http://127.0.0.1:${port}${path}`, {
      method,
      headers: { 'content-type': 'application/json' },
      body: method === 'POST' ? JSON.stringify(body ?? {}) : undefined,
      signal: AbortSignal.timeout(30000),
    });
    const { value } = await response.json();
    if (value?.error) throw new Error(`WebDriver ${method} ${path}: ${value.error}: ${value.message}`);
    return value;
  };
  const stop = async () => {
    // The driver runs in its own process group with the browsers it started.
    try { process.kill(-driver.pid, 'SIGTERM'); } catch { /* already gone */ }
    if (driver.exitCode === null && driver.signalCode === null) await once(driver, 'exit');
  };
  if (!await until(() => call('GET', '/status'))) {
    await stop();
    throw new Error('WebKitWebDriver did not start');
  }
  return {
    call,
    stop,
    // A new session: a new MiniBrowser, so no cookies. Pop-ups that a page
    // asks for outside a click are blocked unless `blocking` is false.
    async open(blocking) {
      const args = ['--automation', '--enable-page-cache=false',
        ...(blocking ? [] : ['--javascript-can-open-windows-automatically=true'])];
      const { sessionId, capabilities } = await call('POST', '/session', {
        capabilities: { alwaysMatch: { 'webkitgtk:browserOptions': { binary: kMiniBrowser, args } } },
      });
      if (!said) console.log(`WebKitGTK ${capabilities.browserVersion}`);
      said = true;
      return sessionId;
    },
  };
}

// Each visit is a session of its own. A browser takes over a second to
// start, so two servers take turns: while one serves a visit, the other
// already starts the browser for the next (with the blocker on, as most
// visits want it).
async function webkitEngine() {
  const drivers = [await webDriver()];
  try {
    drivers.push(await webDriver());
  } catch (e) {
    await drivers[0].stop();
    throw e;
  }
  let spare = null;    // { driver, sessionId: its promise }, the blocker on
  let current = null;  // { driver, sessionId }
  const end = async (session) => session && session.driver.call('DELETE', `/session/${await session.sessionId}`);
  return {
    async visit({ blocking = true } = {}) {
      await end(current).catch(() => {});
      let driver;
      let sessionId;
      if (blocking && spare) {
        ({ driver } = spare);
        sessionId = await spare.sessionId;
        spare = null;
      } else {
        driver = drivers.find((d) => d !== spare?.driver);
        sessionId = await driver.open(blocking);
      }
      current = { driver, sessionId };
      if (!spare) {
        const other = drivers.find((d) => d !== driver);
        spare = { driver: other, sessionId: other.open(true) };
        spare.sessionId.catch(() => {});  // a failure shows when the spare is used
      }
      const at = (method, path, body) => driver.call(method, `/session/${sessionId}${path}`, body);
      const main = await at('GET', '/window');
      const evaluate = (expr) => at('POST', '/execute/sync', { script: `return (${expr});`, args: [] });
      // Pop-ups are new window handles; a case's steps run one at a time, so
      // switching to a pop-up and back cannot cross another step.
      const windows = [];
      const seen = new Set([main]);
      const inWindow = async (handle, step) => {
        await at('POST', '/window', { handle });
        try { return await step(); } finally { await at('POST', '/window', { handle: main }).catch(() => {}); }
      };
      const look = async () => {
        for (const handle of await at('GET', '/window/handles')) {
          if (seen.has(handle)) continue;
          seen.add(handle);
          windows.push(popupOf((expr) => inWindow(handle, () => evaluate(expr)),
            () => inWindow(handle, () => at('DELETE', '/window'))));
        }
      };
      const mine = current;
      let holder = null;  // the xclip that holds a text to paste
      return {
        goto: async (url) => { await at('POST', '/url', { url }); },
        reload: async () => { await at('POST', '/refresh'); },
        async click() {
          const button = await at('POST', '/element', { using: 'css selector', value: 'button' });
          await at('POST', `/element/${Object.values(button)[0]}/click`);
        },
        eval: evaluate,
        async press(keys) {
          const codes = { Tab: '\uE004', Enter: '\uE007', Escape: '\uE00C', Shift: '\uE008', Control: '\uE009', Alt: '\uE00A',
            ArrowUp: '\uE013', ArrowDown: '\uE015', F4: '\uE034', Space: ' ' };
          const parts = keys.split('+').map((k) => codes[k] ?? k);
          const key = parts.pop();
          const actions = [...parts.map((m) => ({ type: 'keyDown', value: m })), { type: 'keyDown', value: key },
            { type: 'keyUp', value: key }, ...parts.reverse().map((m) => ({ type: 'keyUp', value: m }))];
          await at('POST', '/actions', { actions: [{ type: 'key', id: 'keyboard', actions }] });
          await at('DELETE', '/actions');
        },
        async clickOn(selector) {
          const found = await at('POST', '/element', { using: 'css selector', value: selector });
          await at('POST', `/element/${Object.values(found)[0]}/click`);
        },
        async clickAt(x, y) {
          const actions = [{ type: 'pointerMove', x, y, origin: 'viewport' }, { type: 'pointerDown', button: 0 },
            { type: 'pointerUp', button: 0 }];
          await at('POST', '/actions', { actions: [{ type: 'pointer', id: 'mouse', parameters: { pointerType: 'mouse' },
            actions }] });
          await at('DELETE', '/actions');
        },
        // Typed, a long text takes minutes: it goes through the X clipboard (xclip) and Ctrl+V.
        async insertText(text) {
          holder?.kill();
          holder = spawn('xclip', ['-selection', 'clipboard', '-quiet'], { stdio: ['pipe', 'ignore', 'ignore'] });
          holder.stdin.end(text);
          if (!await until(async () => (await readClipboard()) === text || null)) throw new Error('xclip failed');
          await this.press('Control+v');
        },
        clipboard: readClipboard,
        ...popupQueue(windows, look),
        errors: () => [],
        cookies: async () => (await at('GET', '/cookie')).map(({ name, value, expiry }) => ({ name, value,
          expires: expiry ?? -1 })),
        async close() {
          holder?.kill();
          if (current !== mine) return;
          current = null;
          await end(mine);
        },
      };
    },
    async close() {
      await end(current).catch(() => {});
      await end(spare).catch(() => {});
      for (const driver of drivers) await driver.stop();
    },
  };
}

export const engines = { chromium: chromiumEngine, firefox: firefoxEngine, webkit: webkitEngine };

// Runs generated scripts in a JavaScript engine: every script must compile,
// and calling tavrin() must open exactly the typed page under exactly the
// typed (blank-stripped) name and set the once-only cookie as asked.
// Usage: node script_runs.mjs <script_corpus> <tavrin-cli>
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import vm from 'node:vm';

const [corpusTool, cli] = process.argv.slice(2);
const kMaxDays = 99000000;
const kDayMs = 24 * 60 * 60 * 1000;

// atoi over a Latin-1 string, saturated to 32 bits like the generator's.
function atoi(text) {
  const m = /^[ \t\n\v\f\r]*([+-]?)(\d*)/.exec(text);
  const n = Math.min(Number(m[2] ? BigInt(m[2]) > 2147483648n ? 2147483648n : BigInt(m[2]) : 0n), 2147483648);
  return m[1] === '-' ? -n : Math.min(n, 2147483647);
}

// The content of the script element, as an HTML parser would cut it out.
function scriptContent(functions) {
  const open = functions.indexOf('>', functions.indexOf('<script')) + 1;
  const close = functions.toLowerCase().indexOf('</script');
  assert.equal(close, functions.length - '</script>\r\n'.length, 'the script element ends early');
  return functions.slice(open, close);
}

// document.cookie as browsers keep it: a written "name=value; attributes"
// stores name and value, trimmed; reading gives "a=1; b=2".
function cookieJar(initial = '') {
  const jar = new Map(initial.split('; ').filter(Boolean).map((c) => c.split(/=(.*)/s).slice(0, 2)));
  return {
    written: [],
    get cookie() { return [...jar].map(([name, value]) => `${name}=${value}`).join('; '); },
    set cookie(text) {
      this.written.push(text);
      const [name, value = ''] = text.split(';')[0].split(/=(.*)/s);
      jar.set(name.trim(), value.trim());
    },
  };
}

// Runs a script block in a fresh context with a recording window.open and
// the given cookie jar, and returns what tavrin() did.
function runScript(functions, { jar = cookieJar(), popupBlocked = false } = {}) {
  const content = scriptContent(functions);
  assert.equal(content.indexOf('<!--'), content.lastIndexOf('<!--'), 'a second HTML comment opens');
  assert.equal(content.replace('<!--', '').replace(/<=/g, '').indexOf('<'), -1, 'a tag can start inside the script');
  const opened = [];
  const context = vm.createContext({
    window: { open: (...args) => { opened.push(args); return popupBlocked ? null : { focus() {} }; } },
    document: jar,
  });
  new vm.Script(content, { filename: 'generated.js' }).runInContext(context);
  const result = vm.runInContext('tavrin()', context);
  return { opened, cookies: jar.written, result, context };
}

const corpus = execFileSync(corpusTool, { maxBuffer: 1 << 30, encoding: 'latin1' })
  .trim().split('\n').map((line) => JSON.parse(line));

test('every hostile record gives a script that opens exactly the typed page and name', () => {
  assert.ok(corpus.length >= 100);
  for (const r of corpus) {
    const strippedName = r.name.replaceAll(' ', '');
    const { opened, cookies, result } = runScript(r.functions);
    assert.equal(result, false);
    assert.equal(opened.length, 1);
    const [page, name, options] = opened[0];
    assert.equal(page, r.url);
    assert.equal(name, strippedName);
    let expected = '';
    if (atoi(r.width) > 0) expected += `width=${r.width},`;
    if (atoi(r.height) > 0) expected += `height=${r.height},`;
    if (atoi(r.top) > 0) expected += `top=${r.top},screenY=${r.top},`;
    if (atoi(r.left) > 0) expected += `left=${r.left},screenX=${r.left},`;
    ['directories', 'location', 'menubar', 'resizable', 'scrollbars', 'status', 'toolbar']
      .forEach((f, i) => { if (r.features[i]) expected += `${f}=yes,`; });
    assert.equal(options, expected);

    const days = atoi(r.days);
    if (days > 0) {
      assert.equal(cookies.length, 1);
      // Names a cookie can hold stand as typed; any other is percent-encoded.
      const cookieName = /^[\w.-]+$/.test(strippedName) ? strippedName : encodeURIComponent(strippedName) || 'tavrin';
      assert.match(cookieName, /^[\w.!~*'()%-]+$/);
      const prefix = `${cookieName}=${r.days}; expires=`;
      assert.ok(cookies[0].startsWith(prefix), JSON.stringify(cookies[0]));
      const expiry = Date.parse(cookies[0].slice(prefix.length));
      const wanted = Date.now() + Math.min(days, kMaxDays) * kDayMs;
      assert.ok(Math.abs(expiry - wanted) < 60000, `expiry ${cookies[0]} for days ${JSON.stringify(r.days)}`);
      const jar = cookieJar(`other${strippedName}=1`);
      runScript(r.functions, { jar });
      assert.equal(runScript(r.functions, { jar }).opened.length, 0, 'the cookie stops a second pop-up');
    } else {
      assert.equal(cookies.length, 0);
      assert.ok(!r.functions.includes('getCookie'));
    }
    assert.equal(r.functions.includes('focus()'), r.over);
  }
});

test('the cookie reader finds the cookie by its exact name; a blocked pop-up throws nothing', () => {
  const functions = execFileSync(cli, ['--print', 'functions', '--days', '5'], { encoding: 'latin1' });
  const first = runScript(functions, { popupBlocked: true });
  assert.equal(first.opened.length, 1);
  assert.equal(first.cookies[0].split(';')[0], 'PopUp=5');
  assert.equal(vm.runInContext('getCookie("PopUp")', first.context), '5');
  // Other cookies that hold the name in theirs or in their value do not count.
  for (const cookies of ['XPopUpSeen=1', 'last=PopUp', 'PopUpShown=1; a=PopUp=5', 'PopUp=']) {
    assert.equal(runScript(functions, { jar: cookieJar(cookies) }).opened.length, 1, cookies);
  }
  // A cookie an earlier visit left, here among others, stops the pop-up.
  assert.equal(runScript(functions, { jar: cookieJar('a=1; PopUp=5; b=2') }).opened.length, 0);
});

test('the end marker is a script comment: the script block compiles', () => {
  const functions = execFileSync(cli, ['--print', 'functions'], { encoding: 'latin1' });
  assert.match(functions, /\r\n\/\/ End www\.tavrin\.example\/tavrin\/ -->\r\n<\/script>\r\n$/);
  assert.doesNotThrow(() => new vm.Script(scriptContent(functions)));
  const broken = functions.replace('// End', 'End');
  assert.throws(() => new vm.Script(scriptContent(broken)), SyntaxError);
});

test('tavrin-cli prints each text byte for byte', () => {
  const run = (...args) => execFileSync(cli, args, { encoding: 'latin1' });
  assert.equal(run('--print', 'loader'), ' onLoad="tavrin()" ');
  assert.equal(run('--print', 'loader', '--trigger', 'close'), ' onUnload="tavrin()" ');
  assert.equal(run('--print', 'instruction', '--trigger', 'button'),
    'Paste this code into the image or button tag just before it closes with >');
  const all = run('--url', 'popup.htm', '--name', 'My Popup', '--width', '300', '--height', '250', '--top', '100',
    '--left', '50', '--days', '30', '--resizable', '--scrollbars', '--trigger', 'close', '--placement', 'under',
    '--print', 'functions');
  assert.ok(all.includes("var options = 'width=300,height=250,top=100,screenY=100,left=50,screenX=50,resizable=yes,scrollbars=yes,' ;\r\n"));
  assert.ok(all.includes('document.cookie = "MyPopup=30; expires=" + expiryDate;\r\n'));
  assert.ok(!all.includes('focus'));
  const readable = run();
  assert.ok(readable.includes(' onLoad="tavrin()" ') && readable.includes('function tavrin()'));
});

test('tavrin-cli rejects a bad option or value with one line and status 2', () => {
  for (const args of [['--trigger', 'sometimes'], ['--bogus'], ['--print', 'all'], ['--width']]) {
    const r = spawnSync(cli, args, { encoding: 'latin1' });
    assert.equal(r.status, 2, args.join(' '));
    assert.equal(r.stdout, '');
    assert.equal(r.stderr.trim().split('\n').length, 1, r.stderr);
  }
  const help = spawnSync(cli, ['--help'], { encoding: 'latin1' });
  assert.equal(help.status, 0);
  assert.match(help.stdout, /--trigger/);
});

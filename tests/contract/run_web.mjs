// Runs the contract suite against the web back end in one browser engine:
// opens the suite's page (contract_web.html) from disk and performs, with
// the engine's own keyboard and mouse, the input its host asks for, until
// the suite has finished; prints its output and exits with its result.
//   node run_web.mjs <chromium|firefox|webkit> <contract_web.html>
import { pathToFileURL } from 'node:url';
import { engines, until } from '../browser/engines.mjs';

const kSuiteTime = 240000;  // ms

// The middle of an element that `find` (page code) returns, once it shows.
async function middleOf(visit, find, what) {
  const at = await until(() => visit.eval(`(() => {
    const el = (${find})();
    if (!el || el.hidden || !el.getClientRects().length) return null;
    const r = el.getBoundingClientRect();
    return { x: Math.round(r.left + r.width / 2), y: Math.round(r.top + r.height / 2) };
  })()`));
  if (!at) throw new Error(`${what} never showed`);
  return at;
}

// What the host's requests mean, in the engine's input.
const perform = {
  press: (visit, { keys }) => visit.press(keys),
  click: (visit, { x, y }) => visit.clickAt(x, y),
  async clipboard(visit) {
    const text = await visit.clipboard();
    await visit.eval(`window.tvContract.clipboard = ${JSON.stringify(text ?? '')}`);
  },
  // The button `index` of the message box on top, once it shows.
  async answer(visit, { index }) {
    const button = `() => { const d = window.tvContract.top(); return d && d.el.getAttribute('role') === 'alertdialog'
      && d.el.open ? d.el.querySelectorAll('.tv-buttons button')[${index}] : null; }`;
    const at = await middleOf(visit, button, 'the message box');
    await visit.clickAt(at.x, at.y);
  },
  // Alt+Space opens the top dialog's window menu; Down moves through it
  // until the entry the program appended with `command` has the focus.
  async menu(visit, { command }) {
    await visit.press('Alt+ ');
    const text = await until(() => visit.eval(`(() => {
      const d = window.tvContract.top();
      const item = d && d.menu && !d.menu.hidden ? d.menu.querySelectorAll('[role=menuitem]') : null;
      return item ? [...item].map((i) => i.textContent) : null;
    })()`));
    if (!text) throw new Error('the window menu never opened');
    const wanted = await visit.eval(`window.tvContract.menuText(${command})`);
    for (let steps = 0; steps <= text.length; ++steps) {
      if (await visit.eval('document.activeElement.textContent') === wanted) return visit.press('Enter');
      await visit.press('ArrowDown');
    }
    throw new Error(`no window-menu entry "${wanted}"`);
  },
};

async function run(engineName, page) {
  const engine = await engines[engineName]();
  let visit = null;
  try {
    visit = await engine.visit({ blocking: true });
    await visit.goto(pathToFileURL(page).href);
    const end = Date.now() + kSuiteTime;
    let exitCode = null;
    let stopped = null;  // why the suite did not finish
    while (exitCode === null && !stopped) {
      const { requests, code, aborted } = await visit.eval(`({ requests: window.tvContract.take(),
        code: window.tvContract.exitCode, aborted: tvContractLog.some((line) => line.startsWith('Aborted(')) })`);
      if (aborted || visit.errors().length > 0) stopped = 'the suite\'s page stopped';
      else if (Date.now() > end) stopped = `the suite took over ${kSuiteTime / 1000} s`;
      try {
        for (const r of stopped ? [] : requests) await perform[r.op](visit, r);
      } catch (e) {
        stopped = `the input it asked for failed: ${e.message}`;
      }
      if (requests.length === 0) exitCode = code;
      if (exitCode === null && requests.length === 0) await new Promise((resolve) => setTimeout(resolve, 10));
    }
    console.log(await visit.eval('tvContractLog.join("\\n")'));
    const errors = visit.errors();
    if (errors.length > 0) throw new Error(`script errors: ${errors.join('; ')}`);
    if (stopped) throw new Error(stopped);
    return exitCode;
  } finally {
    await visit?.close().catch(() => {});
    await engine.close();
  }
}

const [engineName, page] = process.argv.slice(2);
if (!engines[engineName] || !page) {
  console.error('usage: node run_web.mjs <chromium|firefox|webkit> <contract_web.html>');
  process.exit(2);
}
process.exitCode = await run(engineName, page);

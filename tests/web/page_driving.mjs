// What the page's tests share: the engine they drive, their waits, a case
// typed as a person would type it, what the console shows, and a watch on
// its live log.
import assert from 'node:assert/strict';
import {readFileSync} from 'node:fs';
import {join} from 'node:path';
import {it} from 'node:test';

// The engine named; exits 77 (skipped) where it or puppeteer-core is
// missing.
export async function openEngine(engine) {
  let launch;
  try {
    ({launch} = await import('./browsers.mjs'));
  } catch {
    console.log('puppeteer-core is not installed: run npm ci in tests/web');
    process.exit(77);
  }
  const browser = await launch(engine);
  if (!browser) {
    console.log(`${engine} is not installed`);
    process.exit(77);
  }
  return browser;
}

// Named steps for a test whose later steps build on its earlier ones:
// after one fails, the rest are skipped, as they could only wait out their
// time limits.
export function stepsInTurn() {
  let failed = false;
  return (name, run) =>
    it(name, async (t) => {
      if (failed) {
        t.skip('an earlier step failed');
        return;
      }
      try {
        await run();
      } catch (error) {
        failed = true;
        throw error;
      }
    });
}

// A golden case's file.
export function caseText(casesDir, name, ext) {
  return readFileSync(join(casesDir, `${name}.${ext}`), 'utf8');
}

export async function waitFor(tab, condition, what) {
  for (const deadline = Date.now() + 20000; Date.now() < deadline;) {
    // A page that is being replaced has nothing to evaluate for a moment,
    // and Firefox may leave a call into it unanswered: asked again.
    const asked = tab.evaluate(condition).catch(() => false);
    if (await Promise.race([asked, new Promise((wake) => setTimeout(wake, 2000, false))])) {
      return;
    }
    await new Promise((wake) => setTimeout(wake, 20));
  }
  throw new Error(`timed out waiting for ${what}`);
}

// Run again, clicked. WebKit's driver may answer before the page has
// taken the click, so the last run's status is cleared first: a wait that
// follows sees the new run's, never the old one's.
export async function runAgain(tab) {
  await tab.evaluate(() => {
    delete document.body.dataset.exitStatus;
  });
  await tab.click('#again');
}

export function runEnded(tab) {
  return waitFor(tab, () => document.body.dataset.exitStatus !== undefined, 'the end of the run');
}

export async function waitForTurn(tab) {
  await waitFor(
    tab,
    () => document.body.dataset.waiting === 'yes' || document.body.dataset.exitStatus !== undefined,
    'the program',
  );
  return tab.evaluate(() => document.body.dataset.exitStatus === undefined);
}

// On a phone, the minus sign, the point and the e come from the page's own
// keys, which a phone's keyboard for numbers may lack, where the engine
// shows them.
async function typeLine(tab, text, phone) {
  // Tabs would move the focus, and a very long line takes long to type.
  if (text.length > 80 || text.includes('\t')) {
    await tab.evaluate((value) => {
      document.getElementById('answer').value = value;
    }, text);
    return;
  }
  const keys =
    phone &&
    (await tab.evaluate(() => getComputedStyle(document.querySelector('.key')).display !== 'none'));
  let plain = '';
  for (const character of text) {
    if (keys && '-.e'.includes(character)) {
      await tab.type(plain);
      plain = '';
      await tab.click(`.key[data-key="${character}"]`);
    } else {
      plain += character;
    }
  }
  await tab.type(plain);
}

// While the program waits, the field is named for the question it asks,
// the end of what the console shows, and is in view; no status is shown
// and Run again is hidden.
export async function checkWaiting(tab, where) {
  const [name, shown, inView, status, againHidden] = await tab.evaluate(() => {
    const {top, bottom} = document.getElementById('answer').getBoundingClientRect();
    return [
      document.querySelector('label[for="answer"]').textContent,
      [...document.querySelectorAll('#screen span:not(.echo)')].map((s) => s.textContent).join(''),
      top >= 0 && bottom <= window.innerHeight + 1,
      document.getElementById('status').textContent,
      document.getElementById('again').hidden,
    ];
  });
  // One question, however many were answered on the line typed ahead.
  assert.ok(
    /^[^?]+\??$/.test(name) && name !== 'Answer' && shown.trimEnd().endsWith(name),
    `${where}: the field is named for the one question that waits (${name})`,
  );
  assert.ok(
    inView && status === '' && againHidden,
    `${where}: while it waits, the field is in view, with no status and no Run again (${status})`,
  );
}

// Types the case's input, then ends it the way this viewport's person
// would; gives what it typed.
export async function typeCase(tab, input, phone, where) {
  const lines = input.split('\n');
  const last = lines.pop();
  let typed = '';
  for (const line of lines) {
    if (!(await waitForTurn(tab))) {
      return typed;
    }
    await checkWaiting(tab, where);
    await typeLine(tab, line, phone);
    await tab.press('Enter');
    typed += `${line}\n`;
  }
  if (!(await waitForTurn(tab))) {
    return typed;
  }
  await typeLine(tab, last, phone);
  if (phone) {
    await tab.click('#end');
  } else {
    await tab.endInputKeys('d');
    assert.ok(
      await tab.evaluate(() => window.ctrlDTaken === true),
      `${where}: Ctrl-D is the page's, not the browser's`,
    );
  }
  return typed + last;
}

// What the console shows, by stream, and how each stream's lines look.
export function consoleShown(tab) {
  return tab.evaluate(() => {
    const screen = document.getElementById('screen');
    // The report's lines: the program's, past the banner and the rule, but
    // for the questions.
    const reportLines = () =>
      [...screen.querySelectorAll('span[data-fd="1"]')]
        .filter((s) => s.textContent.endsWith('\n') && !s.textContent.includes('?'))
        .slice(2);
    // On one line, within the console's padding.
    const fitsWhole = (span) => {
      const text = span.lastChild;
      const range = document.createRange();
      range.setStart(span.firstChild, 0);
      range.setEnd(text, text.length - 1);
      const boxes = [...range.getClientRects()];
      const style = getComputedStyle(screen);
      const right = screen.getBoundingClientRect().right - parseFloat(style.paddingRight);
      return boxes.every((box) => box.top === boxes[0].top && box.right <= right + 0.5);
    };
    const spans = [...document.querySelectorAll('#screen span')];
    const text = (fd) =>
      spans
        .filter((s) => s.dataset.fd === fd)
        .map((s) => s.textContent)
        .join('');
    return {
      out: text('1'),
      err: text('2'),
      errorSpans: spans
        .filter((s) => s.className === 'err')
        .map((s) => s.textContent)
        .join(''),
      echo: text('0'),
      echoStyled: spans.every((s) => (s.dataset.fd === '0') === (s.className === 'echo')),
      focus: document.activeElement && document.activeElement.id,
      eachLineApart: spans.every((s) => !s.textContent.slice(0, -1).includes('\n')),
      exitStatus: document.body.dataset.exitStatus,
      status: document.getElementById('status').textContent,
      inputsOff: [...document.querySelectorAll('#line input, #line button')].every(
        (e) => e.disabled,
      ),
      replaced: window.replaced,
      wrapped: reportLines()
        .filter((line) => !fitsWhole(line))
        .map((line) => line.textContent),
    };
  });
}

// Records whatever in the console's live log is replaced or taken away,
// rather than added to, in `window.replaced`, and in `window.ctrlDTaken`
// whether the page kept the last Ctrl-D from the browser.
export function watchTheLog() {
  // Whether the page kept the last Ctrl-D from the browser, which would
  // open its bookmark dialog.
  window.addEventListener('keydown', (event) => {
    if (event.ctrlKey && event.key.toLowerCase() === 'd') {
      window.ctrlDTaken = event.defaultPrevented;
    }
  });
  window.replaced = [];
  new MutationObserver((records) => {
    for (const record of records) {
      if (record.type === 'characterData' || record.removedNodes.length > 0) {
        window.replaced.push(record.type);
      }
    }
  }).observe(document.getElementById('screen'), {
    childList: true,
    subtree: true,
    characterData: true,
  });
}

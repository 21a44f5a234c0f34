// Drives the calculator's page in one engine, chromium, firefox or webkit,
// opened from file://, on a desktop (1280 by 900) and on a phone 360 CSS
// pixels wide. Each golden case that a person can type is typed, one line
// only once the program waits for it, and the text shown must be the
// case's output, its error and its exit status. Also checks:
// - the page's size, at most 160 KiB and 60 KiB gzipped;
// - the field named for the one question that waits, however many were
//   answered on the line before, and in view then, with no status and no
//   Run again; what was typed shown as typed, in the echo's style; at the
//   end the focus on the status, which points to any error;
// - the live log only grows (no text replaced, no node removed), each
//   line its own element, and errors and only errors styled as errors;
// - nothing sends input once a run has ended, and Enter again at once and
//   100 ms later keeps the report or the error;
// - keys and Ctrl-D (Ctrl-Shift-D too) typed with the focus on the
//   console reach the program, and the page keeps them from the browser;
//   Enter on End input ends the input, sending no line; Space on Run
//   again starts a run;
// - a program that cannot start (its WebAssembly refused, at Run again
//   and at the first start, or its runtime throwing) ends with status 1,
//   says so and leaves no question; a page cut off before its program
//   says so, taking nothing;
// - the page's first lines, in its HTML: the program's own leave them as
//   they are; where the page shows others, or more, the program's show;
// - once anything was typed (a page key; a key typed and erased), a
//   release waits for the next visit;
// - each case opened from the address that typing it left gives the same
//   run; a reload gives back a run that waits; Run again empties the
//   address; a hostile or oversized link makes no element and no error;
//   a script the page did not ship does not run;
// - the drawing as its layout says at the width shown: every shape's box,
//   the caption, the text alternative, the legend and role="img", one CSS
//   pixel to a unit of the view box, within the screen; or the layout's
//   sentence in its place; the water, however shallow, not painted over,
//   and painted the blue of its swatch in the engine's pixels; the console
//   keeps its width beside it; narrowed to 280 pixels mid-run, the
//   console's font fitted anew and the drawing laid out at under 300;
// - where the engine can set them: the dark scheme followed, everything
//   readable in it, axe-core clean; print media with no control and the
//   console's text in dark ink; where it prints, one page on A4 and Letter;
// - axe-core before and after a run; no request leaving the page, and no
//   page error;
// - at the end of a run, the report's figures in view and the drawing
//   after them, whole;
// - on the phone: the minus sign, the point and the e typed with the
//   page's own keys; every report line whole on one line, nothing
//   scrolling sideways, the help naming Ctrl-D only without a touch
//   screen, room under the console's last line for a scrollbar laid
//   over it, and a console font of at least 10.4 pixels (the style's 11,
//   which the page shrinks until 50 columns fit where a font's characters
//   are wider: 10.5 in WebKit, 10.7 in Firefox).
// WebKit's screenshots can lag the page, so the test waits a second
// before one, never before a check.
//
// Exits 77 (skipped) where puppeteer-core, axe-core or the engine is
// missing. Arguments: the engine, the web folder (as the web zip holds
// it), the folder of cases, a folder for screenshots.
import {
  existsSync,
  mkdirSync,
  mkdtempSync,
  readFileSync,
  readdirSync,
  rmSync,
  writeFileSync,
} from 'node:fs';
import {createRequire} from 'node:module';
import {tmpdir} from 'node:os';
import {join, resolve} from 'node:path';
import {pathToFileURL} from 'node:url';
import {setTimeout as sleep} from 'node:timers/promises';
import {gzipSync} from 'node:zlib';

import {PNG} from 'pngjs';

import {DRAWING_WIDTH, figuresOf, layOut} from '../../web/reservoir_layout.js';

import {
  caseText,
  check,
  checkWaiting,
  consoleShown,
  finish,
  openEngine,
  runAgain,
  typeCase,
  waitFor,
  waitForTurn,
  watchTheLog,
} from './page_driving.mjs';

const engine = process.argv[2];
const [siteDir, casesDir, shotsDir] = process.argv.slice(3).map((p) => resolve(p));
const pagePath = join(siteDir, 'index.html');
const HINT = 'Type anything and press Enter to end.\n';
// Some 110 KiB and 46 KiB today; iostreams in the program would double it.
const MAX_BYTES = 160 * 1024;
const MAX_GZIPPED = 60 * 1024; // what a phone fetches, served compressed
const OVERLAY_SCROLLBAR = 12; // pixels, as WebKitGTK's grows under the pointer

let axeSource;
try {
  axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
} catch {
  console.log('axe-core is not installed: run npm ci in tests/web');
  process.exit(77);
}
const browser = await openEngine(engine);
const read = (name, ext) => caseText(casesDir, name, ext);

// The key that ends a run never starts the next one: Enter pressed again
// at once, and again a moment later, keeps the report or the error.
async function checkEndingKeys(tab, where) {
  for (const lines of [['4 30 10', 'q'], ['abc']]) {
    await runAgain(tab);
    for (const line of lines) {
      await waitForTurn(tab);
      await tab.type(line);
      await tab.press('Enter');
    }
    await tab.press('Enter');
    await sleep(100);
    await tab.press('Enter');
    await waitFor(tab, () => document.body.dataset.exitStatus !== undefined, 'the end of the run');
    await sleep(100);
    const shown = await consoleShown(tab);
    check(
      shown.exitStatus !== undefined &&
        (lines.length === 1 ? shown.errorSpans !== '' : shown.out === read('typical', 'out')),
      `${where}: Enter after ${lines} ends the run, and keeps what it showed\n${shown.out}${shown.err}`,
    );
  }
}

// As at a terminal, what is typed with the focus on the console, as after
// selecting some of it, goes to the field, and Ctrl-D ends the input
// wherever the focus is.
async function checkKeysOffTheField(tab, where) {
  const onConsole = () => {
    const screen = document.getElementById('screen');
    screen.focus();
    getSelection().selectAllChildren(screen);
  };
  await runAgain(tab);
  await waitForTurn(tab);
  await tab.evaluate(onConsole);
  await tab.keys('4 30 10');
  await tab.press('Enter');
  await waitForTurn(tab);
  await tab.evaluate(onConsole);
  await tab.endInputKeys('D', true); // a capital, as with Caps Lock too
  await waitFor(tab, () => document.body.dataset.exitStatus !== undefined, 'the end of the run');
  const shown = await consoleShown(tab);
  check(
    shown.out === read('typical', 'out') &&
      shown.exitStatus === '0' &&
      (await tab.evaluate(() => window.ctrlDTaken === true)),
    `${where}: keys typed on the console, and Ctrl-Shift-D there, reach the program, ` +
      `not the browser\n${shown.out}`,
  );
}

// Enter or Space on a focused button does what the button says: End
// input ends the input with what the field holds, sending no line, and
// Run again starts a run.
async function checkButtonKeys(tab, where) {
  await runAgain(tab);
  await waitForTurn(tab);
  await tab.type('4 30 10');
  await tab.evaluate(() => document.getElementById('end').focus());
  await tab.press('Enter');
  await waitFor(tab, () => document.body.dataset.exitStatus !== undefined, 'the end of the run');
  const shown = await consoleShown(tab);
  check(
    shown.echo === '4 30 10' && shown.out === read('typical', 'out'),
    `${where}: Enter on End input ends the input, and sends no line (${JSON.stringify(shown.echo)})`,
  );
  await tab.evaluate(() => {
    delete document.body.dataset.exitStatus;
    document.getElementById('again').focus();
  });
  await tab.press(' ');
  check(await waitForTurn(tab), `${where}: Space on Run again starts a run`);
}

// A window narrowed while a run waits, to 280 pixels as a folded phone's
// cover screen: the console's font fitted anew, so that each report line
// fits whole, and the drawing laid out at the width it is given, under
// its usual 300.
async function checkNarrow(tab, where) {
  await tab.size({width: 280, height: 640});
  // The engine tells the page of the resize with a frame to come.
  await waitFor(
    tab,
    () =>
      document.getElementById('answer').getBoundingClientRect().bottom <= window.innerHeight + 1,
    'the field in view at 280 pixels',
  );
  await typeCase(tab, read('typical', 'in'), false, where);
  await waitFor(tab, () => document.body.dataset.exitStatus !== undefined, 'the end of the run');
  const shown = await consoleShown(tab);
  check(
    shown.out === read('typical', 'out') && shown.wrapped.length === 0,
    `${where}: every report line fits whole (${shown.wrapped})`,
  );
  await checkDrawing(tab, where);
  await tab.screenshot(join(shotsDir, `${engine}-280.png`));
  // WebKit's window takes its size a moment after the driver answers, and
  // the page refits its font at the next frame: a click that comes
  // before then can lose its button from under the pointer.
  await tab.size(viewports.desktop);
  await waitFor(tab, () => window.innerWidth === 1280, 'the desktop width again');
  await tab.evaluate(
    () => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))),
  );
}

// Once anything is typed, with the page's own keys too, or typed and
// erased, a release waits for the next visit rather than reload the page.
async function checkReleaseWaits(tab, url, where) {
  for (const [how, typing] of [
    ['a page key', () => tab.evaluate(() => document.querySelector('.key').click())],
    ['typed and erased', () => tab.type('7').then(() => tab.press('Backspace'))],
  ]) {
    await tab.goto(url);
    await waitForTurn(tab);
    await typing();
    await tab.evaluate(() => {
      window.stayed = true;
      document.dispatchEvent(new Event('release'));
    });
    await sleep(300);
    const [stayed, told] = await tab.evaluate(() => [
      window.stayed === true,
      document.getElementById('release').textContent !== '',
    ]);
    check(stayed && told, `${where}: a release after ${how} waits for the next visit, and says so`);
  }
}

// Opens a copy of the page as `edit` changes its text, without the page's
// policy, which names its scripts as they were.
async function openCopy(tab, edit) {
  const dir = mkdtempSync(join(tmpdir(), 'page-copy-'));
  const page = readFileSync(pagePath, 'utf8').replace(
    /<meta http-equiv="Content-Security-Policy"[^>]*>/,
    '',
  );
  writeFileSync(join(dir, 'index.html'), edit(page));
  await tab.goto(pathToFileURL(join(dir, 'index.html')).href);
  return () => rmSync(dir, {recursive: true});
}

// The page cut off before its program, as by a connection dropped: it
// says so, and takes nothing typed.
async function checkProgramMissing(tab, where) {
  const removeCopy = await openCopy(tab, (page) => page.slice(0, page.lastIndexOf('<script>')));
  await sleep(300);
  const [status, inputsOff] = await tab.evaluate(() => [
    document.getElementById('status').textContent,
    [...document.querySelectorAll('#line input, #line button')].every((input) => input.disabled),
  ]);
  removeCopy();
  check(
    /did not load/.test(status) && inputsOff,
    `${where}: a page whose program did not arrive says so and takes no input (${status})`,
  );
}

// A program that cannot start, at Run again or at the page's first run,
// its WebAssembly refused or its runtime throwing at once, ends with status
// 1 and its error on a line of its own, with no question left that
// nothing will read; a page whose first lines are not the program's shows
// the program's.
async function checkStarts(tab, where) {
  const refusedAtRunAgain = async () => {
    await tab.evaluate(() => {
      WebAssembly.instantiate = () => Promise.reject(new Error('no room'));
      WebAssembly.instantiateStreaming = WebAssembly.instantiate;
    });
    await runAgain(tab);
    return () => {};
  };
  for (const [how, open] of [
    ['WebAssembly refused at Run again', refusedAtRunAgain],
    [
      'WebAssembly refused',
      () =>
        openCopy(tab, (page) =>
          page.replace('id="program-wasm">AGFzbQ', 'id="program-wasm">AAAAAA'),
        ),
    ],
    [
      'runtime throwing',
      () =>
        openCopy(tab, (page) =>
          page.replace('function runCalculator(Module) {', '$& throw new TypeError("no runtime");'),
        ),
    ],
  ]) {
    const removeCopy = await open();
    await waitFor(tab, () => document.body.dataset.exitStatus !== undefined, 'the end of the run');
    const shown = await consoleShown(tab);
    removeCopy();
    check(
      shown.exitStatus === '1' &&
        shown.status.includes('could not start') &&
        shown.status.includes('exit status 1') &&
        shown.inputsOff &&
        /^error: /m.test(shown.errorSpans) &&
        !shown.out.includes('?'),
      `${where}, ${how}: the calculator could not start, and says so (${shown.out}${shown.err})`,
    );
  }
  // The program held until the log is watched: its own first lines leave
  // the page's as they are; others, or more, give way to its.
  const held = (page) =>
    page.replace(
      'function runCalculator(Module) {',
      `$&
    if (!window.go) { setTimeout(() => runCalculator(Module), 10); return; }`,
    );
  for (const [lines, edit] of [
    ['the same', (page) => page],
    ['others', (page) => page.replace('>Welcom to', '>Welcome to')],
    [
      'more',
      (page) =>
        page.replace('How many people? </span>', '$&<span data-fd="1" class="out">?</span>'),
    ],
  ]) {
    const removeCopy = await openCopy(tab, (page) => held(edit(page)));
    await tab.evaluate(watchTheLog);
    await tab.evaluate(() => {
      window.go = true;
    });
    const typed = await typeCase(tab, read('typical', 'in'), false, where);
    await waitFor(tab, () => document.body.dataset.exitStatus !== undefined, 'the end of the run');
    const shown = await consoleShown(tab);
    removeCopy();
    check(
      shown.out === read('typical', 'out') &&
        shown.echo === typed &&
        (lines !== 'the same' || shown.replaced.length === 0),
      `${where}: first lines on the page, ${lines} than the program's, then the program's, only ` +
        `grown (${shown.replaced})\n${shown.out}`,
    );
  }
}

// The drawing as rendered against its layout at the width it was drawn
// (the layout's own properties are reservoir_layout's test's): each shape
// where the layout puts it, its texts, a CSS pixel to a unit of its view
// box, within the screen; or the layout's sentence in its place.
async function checkDrawing(tab, where) {
  const shown = await tab.evaluate(() => {
    const figure = document.getElementById('reservoir');
    const svg = figure.querySelector('svg');
    const box = (name) => {
      const shape = svg.querySelector(`[data-part="${name}"]`);
      return shape && (({x, y, width, height}) => ({x, y, width, height}))(shape.getBBox());
    };
    const onScreen = svg && svg.getBoundingClientRect();
    return {
      out: [...document.querySelectorAll('#screen span[data-fd="1"]')]
        .map((s) => s.textContent)
        .join(''),
      hidden: figure.hidden,
      caption: figure.hidden ? null : figure.querySelector('figcaption').textContent,
      drawing: svg && {
        width: svg.viewBox.baseVal.width,
        label: svg.getAttribute('aria-label'),
        role: svg.getAttribute('role'),
        legend: [...svg.querySelectorAll('text')].map((text) => text.textContent),
        boxes: Object.fromEntries(
          ['tank', 'water', 'ice', 'person'].map((name) => [name, box(name)]),
        ),
        shownWidth: onScreen.width,
        withinScreen: onScreen.right <= document.documentElement.clientWidth,
        tankShows: svg.querySelector('[data-part="tank"]').getBoundingClientRect().width >= 1,
      },
    };
  });
  const figures = figuresOf(shown.out);
  if (!figures) {
    check(shown.hidden, `${where}: no drawing without a report`);
    return;
  }
  const layout = layOut(figures, shown.drawing ? shown.drawing.width : DRAWING_WIDTH);
  if (layout.reason) {
    check(
      !shown.drawing && shown.caption === layout.reason,
      `${where}: the sentence says why nothing is drawn`,
    );
    return;
  }
  const {drawing} = shown;
  const placed = (a, b) =>
    (a === null) === (b === null) &&
    (a === null || ['x', 'y', 'width', 'height'].every((key) => Math.abs(a[key] - b[key]) < 0.01));
  const misplaced = Object.entries(drawing.boxes).filter(
    ([name, box]) => !placed(box, layout[name]),
  );
  check(misplaced.length === 0, `${where}: every shape where its layout puts it (${misplaced})`);
  check(
    shown.caption === layout.caption &&
      drawing.label === layout.label &&
      drawing.role === 'img' &&
      drawing.legend.join('|') === layout.legend.map((row) => row.text).join('|'),
    `${where}: the caption, the text alternative and the legend are the layout's`,
  );
  check(
    Math.abs(drawing.shownWidth - layout.width) < 0.01 && drawing.withinScreen && drawing.tankShows,
    `${where}: shown a pixel to a unit of the drawing, within the screen, the tank showing`,
  );
}

// The water, where there is any, shows all across: nothing is painted
// over it, as the frozen level's line was over water a pixel deep.
async function checkWaterShows(tab, where) {
  const covered = await tab.evaluate(() => {
    const water = document.querySelector('#reservoir [data-part="water"]');
    if (!water) {
      return [];
    }
    water.scrollIntoView({block: 'center'});
    const {left, top, width, height} = water.getBoundingClientRect();
    return [0.1, 0.3, 0.5, 0.7, 0.9].filter(
      (share) => document.elementFromPoint(left + width * share, top + height / 2) !== water,
    );
  });
  check(covered.length === 0, `${where}: the water shows all across (covered at ${covered})`);
}

// The water painted in its blue, the same as its swatch in the legend,
// as the engine's own pixels show: no fill laid over it hides it.
async function checkWaterPainted(tab, where) {
  const centres = await tab.evaluate(() => {
    const svg = document.querySelector('#reservoir svg');
    const water = svg && svg.querySelector('[data-part="water"]');
    if (!water) {
      return null;
    }
    svg.scrollIntoView({block: 'center'});
    const centre = (element) => {
      const {left, top, width, height} = element.getBoundingClientRect();
      return [left + width / 2, top + height / 2];
    };
    return {
      width: window.innerWidth,
      water: centre(water),
      swatch: centre(svg.querySelector(':scope > rect:not([data-part])')),
    };
  });
  if (!centres) {
    return;
  }
  const png = PNG.sync.read(await tab.viewShot());
  const scale = png.width / centres.width;
  const pixel = ([x, y]) => {
    const at = 4 * (Math.floor(y * scale) * png.width + Math.floor(x * scale));
    return [...png.data.subarray(at, at + 3)];
  };
  const [water, swatch] = [pixel(centres.water), pixel(centres.swatch)];
  const blue = ([r, g, b]) => b - r >= 60 && b >= g;
  check(
    blue(water) && water.every((c, i) => Math.abs(c - swatch[i]) <= 8),
    `${where}: the water painted in the blue of its swatch (${water}; ${swatch})`,
  );
}

// Light text on a dark page, where the engine can set the dark scheme:
// the page, the field, the buttons and the drawing's legend and caption
// each readable against what is behind them, and the console's edge seen
// against the page (axe-core checks the rest).
async function checkDark(tab, where) {
  const unreadable = await tab.evaluate(() => {
    const luminance = (colour) => {
      const [r, g, b] = colour
        .match(/[\d.]+/g)
        .slice(0, 3)
        .map((c) => {
          const v = Number(c) / 255;
          return v <= 0.04045 ? v / 12.92 : ((v + 0.055) / 1.055) ** 2.4;
        });
      return 0.2126 * r + 0.7152 * g + 0.0722 * b;
    };
    const page = luminance(getComputedStyle(document.body).backgroundColor);
    const contrast = (a, b) => (Math.max(a, b) + 0.05) / (Math.min(a, b) + 0.05);
    const parts = [
      ...document.querySelectorAll('body, a, label, #answer, button, figcaption, #reservoir text'),
    ].filter((element) => element.getClientRects().length > 0);
    const edge = luminance(getComputedStyle(document.getElementById('screen')).borderTopColor);
    return (page < 0.05 ? [] : ['the page is not dark'])
      .concat(contrast(edge, page) >= 3 ? [] : ["the console's edge"])
      .concat(
        parts
          .filter((element) => {
            const style = getComputedStyle(element);
            const own = style.backgroundColor.startsWith('rgba(0, 0, 0, 0)')
              ? page
              : luminance(style.backgroundColor);
            const ink = element.closest('svg') ? style.fill : style.color;
            return contrast(luminance(ink), own) < 4.5;
          })
          .map((element) => element.id || element.tagName),
      );
  });
  check(unreadable.length === 0, `${where}: everything readable (${unreadable})`);
}

// On paper: one page, on A4 and on Letter, with no control on it and the
// console's text in dark ink, where the engine can print.
async function checkPrinted(tab, where) {
  if (await tab.printMedia(true)) {
    const [controls, ink] = await tab.evaluate(() => [
      [...document.querySelectorAll('input, button')].filter((e) => e.getClientRects().length > 0)
        .length,
      getComputedStyle(document.querySelector('#screen .out')).color,
    ]);
    await tab.printMedia(false);
    check(
      controls === 0 && ink === 'rgb(0, 0, 0)',
      `${where}: no control, the text in dark ink (${controls}, ${ink})`,
    );
  } else {
    console.log(`${where}: print media cannot be set here; controls and ink not checked`);
  }
  for (const format of ['A4', 'Letter']) {
    const pages = await tab.printedPages(format);
    check(pages === null || pages === 1, `${where}: one page on ${format} (${pages})`);
  }
}

// Where the banner makes the console scroll sideways, its scrollbar, laid
// over the text as WebKit lays it, covers no line.
async function checkScrollbarRoom(tab, where) {
  const room = await tab.evaluate(() => {
    const screen = document.getElementById('screen');
    const style = getComputedStyle(screen);
    const bar =
      screen.offsetHeight -
      screen.clientHeight -
      parseFloat(style.borderTopWidth) -
      parseFloat(style.borderBottomWidth);
    const under =
      screen.getBoundingClientRect().bottom -
      screen.lastChild.getBoundingClientRect().bottom -
      parseFloat(style.borderBottomWidth) -
      bar;
    return screen.scrollWidth > screen.clientWidth ? under : Infinity;
  });
  check(
    room >= OVERLAY_SCROLLBAR,
    `${where}: the console's scrollbar covers no line (${room}px under the last)`,
  );
}

// The answers kept in the page's address: each case opened from the
// address that typing it made gives the same run; a reload gives back a
// run that waits, and Run again takes the answers out; a link's text,
// however hostile or long, is input or nothing, never markup; and the
// page's policy runs no script but the page's own.
async function checkAddress(tab, url, typed, where) {
  for (const [at, [testCase, fragment]] of typed.entries()) {
    await tab.goto(`${url}?${at}${fragment}`);
    await waitFor(tab, () => document.body.dataset.exitStatus !== undefined, 'the end of the run');
    const shown = await consoleShown(tab);
    const {out, err, status} = expected(testCase);
    check(
      shown.out === out && shown.err === err && shown.exitStatus === status,
      `${where} ${testCase}: opened from its address, ${fragment}, the same run\n${shown.out}${shown.err}`,
    );
  }
  for (const fragment of [
    '#answers=<img src=x onerror="window.ran=1">/<b>4</b>&end',
    `#answers=${'9'.repeat(5000)}`,
    '#end=%E0',
  ]) {
    const errors = (await tab.errors()).length;
    await tab.goto(`${url}?link${fragment}`);
    await waitFor(
      tab,
      () =>
        document.body.dataset.exitStatus !== undefined || document.body.dataset.waiting === 'yes',
      'the program',
    );
    const [made, note] = await tab.evaluate(() => [
      document.querySelectorAll('#screen :not(span), #screen span *, img, b').length +
        (window.ran || 0),
      document.getElementById('address-note').textContent,
    ]);
    const raised = (await tab.errors()).slice(errors);
    check(
      made === 0 && raised.length === 0 && (fragment.includes('<') || note !== ''),
      `${where}: ${fragment.slice(0, 40)} is text or nothing, and says why (${made}, ${raised}, ${note})`,
    );
  }
  await tab.goto(url);
  await waitForTurn(tab);
  await tab.type('4 30');
  await tab.press('Enter');
  await waitForTurn(tab);
  await tab.reload();
  await tab.evaluate(watchTheLog);
  await waitForTurn(tab);
  await checkWaiting(tab, `${where}, reloaded`);
  await typeCase(tab, '10\nq', false, where);
  await waitFor(tab, () => document.body.dataset.exitStatus !== undefined, 'the end of the run');
  const reloaded = await consoleShown(tab);
  await runAgain(tab);
  const [hash, ran] = await tab.evaluate(
    () =>
      new Promise((done) => {
        const script = document.createElement('script');
        script.textContent = 'window.ran = true;';
        document.head.append(script);
        setTimeout(() => done([location.hash, window.ran === true]), 100);
      }),
  );
  check(
    reloaded.echo === '4 30\n10\nq' && reloaded.out === read('typical', 'out') && hash === '',
    `${where}: a reload gives back the run, and Run again takes the answers out (${hash})\n${reloaded.out}`,
  );
  check(!ran, `${where}: the page's policy runs no script but its own`);
}

function consoleWidth() {
  return document.getElementById('console').getBoundingClientRect().width;
}

async function accessibility(tab, where) {
  if (!(await tab.evaluate(() => typeof window.axe === 'object'))) {
    await tab.evaluate(axeSource);
  }
  const violations = await tab.evaluate(() =>
    window.axe
      .run(document)
      .then((result) =>
        result.violations.map((v) => `${v.id} (${v.nodes.map((n) => n.target).join(', ')})`),
      ),
  );
  check(violations.length === 0, `${where}: axe-core finds no violation (${violations})`);
}

const viewports = {
  desktop: {width: 1280, height: 900},
  phone: {width: 360, height: 740, isMobile: true, hasTouch: true, deviceScaleFactor: 2},
};

// What a person can type: printable text, blanks and tabs, line by line,
// with no command-line arguments.
const cases = readdirSync(casesDir)
  .filter((name) => name.endsWith('.in'))
  .map((name) => name.slice(0, -3))
  .filter(
    (name) =>
      !existsSync(join(casesDir, `${name}.args`)) && !existsSync(join(casesDir, `${name}.argv0`)),
  )
  .filter((name) => /^[\x20-\x7e\t\n]*$/.test(readFileSync(join(casesDir, `${name}.in`), 'latin1')))
  .sort();

// What the case shows when it has run: its output, its error, its status.
function expected(testCase) {
  const failed = existsSync(join(casesDir, `${testCase}.err`));
  return {
    out: read(testCase, 'out'),
    err: failed ? read(testCase, 'err') : HINT,
    status: failed ? '1' : '0',
  };
}

async function typedCases() {
  const page = readFileSync(pagePath);
  const gzipped = gzipSync(page, {level: 9}).length;
  console.log(`page: ${page.length} bytes, ${gzipped} gzipped`);
  check(page.length <= MAX_BYTES, `the page is at most ${MAX_BYTES} bytes`);
  check(gzipped <= MAX_GZIPPED, `the page is at most ${MAX_GZIPPED} bytes gzipped`);
  const url = pathToFileURL(pagePath).href;
  mkdirSync(shotsDir, {recursive: true});
  const addresses = []; // each case's, as typing it left the address

  for (const [name, viewport] of Object.entries(viewports)) {
    const tab = await browser.newTab();
    await tab.size(viewport);
    await tab.goto(url);
    // The focus comes with the first frame, never while the page parses.
    await waitFor(
      tab,
      () => document.activeElement && document.activeElement.id === 'answer',
      `${name}: the answer field to have the focus when the page opens`,
    );
    check(
      await tab.evaluate(() => document.getElementById('answer').inputMode === 'decimal'),
      `${name}: the answer field asks for a keyboard for numbers`,
    );
    await accessibility(tab, `${name}, before a run`);
    await tab.evaluate(watchTheLog);
    check(
      (await tab.evaluate(
        () => getComputedStyle(document.querySelector('.key')).display !== 'none',
      )) ===
        !(await tab.evaluate(() =>
          document.getElementById('answer-help').innerText.includes('Ctrl'),
        )),
      `${name}: the help names Ctrl-D only where there is no touch screen`,
    );

    let first = true;
    for (const testCase of cases) {
      if (!first) {
        await runAgain(tab); // without reloading
      }
      first = false;
      const where = `${engine} ${name} ${testCase}`;
      const width = await tab.evaluate(consoleWidth);
      await tab.evaluate(() => {
        window.replaced.length = 0;
      });
      const {out: expectedOut, err: expectedErr, status: expectedStatus} = expected(testCase);
      const failed = expectedStatus === '1';
      const typed = await typeCase(tab, read(testCase, 'in'), name === 'phone', where);
      await waitFor(
        tab,
        () => document.body.dataset.exitStatus !== undefined,
        'the end of the run',
      );
      const shown = await consoleShown(tab);
      check(
        shown.echo === typed && shown.echoStyled,
        `${where}: what was typed shows, as typed\n${shown.echo}`,
      );
      check(shown.out === expectedOut, `${where}: the output shown is the case's\n${shown.out}`);
      if (name === 'desktop') {
        await waitFor(tab, () => document.body.dataset.addressBehind === undefined, 'the address');
        addresses.push([testCase, await tab.evaluate(() => location.hash)]);
      }
      check(shown.err === expectedErr, `${where}: the errors shown are the case's\n${shown.err}`);
      check(
        shown.errorSpans === (failed ? expectedErr : ''),
        `${where}: errors, and only they, look like errors`,
      );
      check(shown.eachLineApart, `${where}: each line reaches the console on its own`);
      check(shown.replaced.length === 0, `${where}: the live log only grows (${shown.replaced})`);
      check(
        shown.exitStatus === expectedStatus &&
          shown.status.includes(`exit status ${expectedStatus}`) &&
          shown.status.includes('error') === failed &&
          shown.focus === 'status',
        `${where}: exit status ${expectedStatus} is shown, pointing to any error, with the focus (${shown.status})`,
      );
      check(shown.inputsOff, `${where}: nothing sends input once the run has ended`);
      check(
        shown.wrapped.length === 0,
        `${where}: every report line fits whole (${shown.wrapped})`,
      );
      check((await tab.evaluate(consoleWidth)) === width, `${where}: the console keeps its width`);
      await checkDrawing(tab, where);
      let ending;
      for (const deadline = Date.now() + 1000; Date.now() < deadline;) {
        // a frame or two
        ending = await tab.evaluate(() => {
          const box = (element) => {
            const rect = element && !element.hidden && element.getBoundingClientRect();
            return rect ? {top: rect.top, bottom: rect.bottom} : null;
          };
          const figures = [...document.querySelectorAll('#screen span')].find((line) =>
            line.textContent.startsWith('Total gallons needed'),
          );
          return {
            figures: box(figures),
            drawing: box(document.getElementById('reservoir')),
            height: window.innerHeight,
          };
        });
        const {figures, drawing, height} = ending;
        ending.inView =
          (!figures || (figures.top >= -1 && figures.bottom <= height + 1)) &&
          (!drawing || drawing.bottom <= height + 1);
        if (ending.inView) {
          break;
        }
        await sleep(20);
      }
      check(
        ending.inView,
        `${where}: the report's figures and the drawing are in view (${JSON.stringify(ending)})`,
      );
      await checkWaterShows(tab, where);
      if (testCase === 'typical') {
        await checkWaterPainted(tab, where);
        await accessibility(tab, `${name}, after a run`);
        await tab.screenshot(join(shotsDir, `${engine}-${name}.png`));
        if (await tab.colorScheme('dark')) {
          await checkDark(tab, `${engine} ${name}, dark`);
          await accessibility(tab, `${engine} ${name}, dark, after a run`);
          await tab.screenshot(join(shotsDir, `${engine}-${name}-dark.png`));
          await tab.colorScheme('light');
        } else {
          console.log(`${engine} ${name}: the dark scheme cannot be set here; not checked`);
        }
        if (name === 'desktop') {
          await checkPrinted(tab, `${engine} ${name}, printed`);
        } else {
          await checkScrollbarRoom(tab, `${engine} ${name}`);
        }
      }
    }
    await checkEndingKeys(tab, `${engine} ${name}`);
    if (name === 'desktop') {
      await checkKeysOffTheField(tab, `${engine} ${name}`);
      await checkButtonKeys(tab, `${engine} ${name}`);
    }
    if (name === 'phone') {
      const widths = await tab.evaluate(() => [
        document.documentElement.scrollWidth,
        window.innerWidth,
      ]);
      check(widths[0] <= widths[1], `phone: nothing scrolls sideways (${widths})`);
      const fontSize = await tab.evaluate(() =>
        parseFloat(getComputedStyle(document.getElementById('screen')).fontSize),
      );
      check(fontSize >= 10.4, `phone: the console's text is readable (${fontSize}px)`);
    }
    const left = (await tab.requests()).filter((address) => address !== url);
    check(
      left.length === 0,
      `${name}: no request leaves the page (${left.length}: ${left[0]})`.slice(0, 200),
    );
    const errors = await tab.errors();
    check(errors.length === 0, `${name}: the page reports no error (${errors})`);
    if (name === 'desktop') {
      await checkNarrow(tab, `${engine} narrowed to 280 pixels`);
      // After the page's errors are read: the runtime reports a failed
      // start as one too.
      await checkStarts(tab, `${engine} ${name}`);
      await checkReleaseWaits(tab, url, `${engine} ${name}`);
      await checkProgramMissing(tab, `${engine} ${name}`);
      await checkAddress(tab, url, addresses, `${engine} ${name}`);
    }
    await tab.close();
  }
  console.log(`${cases.length} cases typed on each viewport`);
}

await finish(browser, typedCases);

// The calculator's page in one engine, chromium, firefox or webkit, opened
// from file://, on a desktop (1280 by 900) and on a phone 360 CSS pixels
// wide, each a suite of named tests. At each width the engine types the
// cases that take the console's paths, and its share of the rest, one line
// only once the program waits for it; between them, the engines type every
// golden case that a person can type at both widths. WebKit's screenshots
// can lag the page, so the test waits a second before one, never before a
// check.
//
// Exits 77 (skipped) where puppeteer-core, axe-core or the engine is
// missing. Arguments: the engine, the web folder (as the web zip holds
// it), the folder of cases, a folder for screenshots.
import assert from 'node:assert/strict';
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
import {after, before, describe, it} from 'node:test';
import {setTimeout as sleep} from 'node:timers/promises';
import {pathToFileURL} from 'node:url';
import {gzipSync} from 'node:zlib';

import {PNG} from 'pngjs';

import {DRAWING_WIDTH, figuresOf, layOut} from '../../web/reservoir_layout.js';
import {
  caseText,
  checkWaiting,
  consoleShown,
  openEngine,
  runAgain,
  runEnded,
  typeCase,
  waitFor,
  waitForTurn,
  watchTheLog,
} from './page_driving.mjs';

const ENGINES = ['chromium', 'firefox', 'webkit'];
const engine = process.argv[2];
const [siteDir, casesDir, shotsDir] = process.argv.slice(3).map((p) => resolve(p));
const pagePath = join(siteDir, 'index.html');
const url = pathToFileURL(pagePath).href;
const HINT = 'Type anything and press Enter to end.\n';
// Some 95 KiB and 43 KiB today; iostreams in the program would double it.
const MAX_BYTES = 160 * 1024;
const MAX_GZIPPED = 60 * 1024; // what a phone fetches, served compressed
const OVERLAY_SCROLLBAR = 12; // pixels, as WebKitGTK's grows under the pointer
// Several answers on a line, tabs, a long line, an error, a closing entry,
// and a report that cannot be drawn.
const PATHS = [
  'one_line',
  'blank_lines',
  'long_numbers',
  'days_not_a_number',
  'typical',
  'zero_diameter',
];

let axeSource;
try {
  axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
} catch {
  console.log('axe-core is not installed: run npm ci in tests/web');
  process.exit(77);
}
const browser = await openEngine(engine);
after(() => browser.close());
const read = (name, ext) => caseText(casesDir, name, ext);
mkdirSync(shotsDir, {recursive: true});

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
const shared = cases.filter((name) => !PATHS.includes(name));
const typedHere = PATHS.filter((name) => cases.includes(name)).concat(
  shared.filter((name, at) => at % ENGINES.length === ENGINES.indexOf(engine)),
);

// What the case shows when it has run: its output, its error, its status.
function expected(testCase) {
  const failed = existsSync(join(casesDir, `${testCase}.err`));
  return {
    out: read(testCase, 'out'),
    err: failed ? read(testCase, 'err') : HINT,
    status: failed ? '1' : '0',
  };
}

// A run that waits for its first answer: Run again, where the last has
// ended, or once a run that has begun is ended.
async function startRun(tab) {
  const [over, begun] = await tab.evaluate(() => [
    document.body.dataset.exitStatus !== undefined,
    document.querySelector('#screen .echo') !== null,
  ]);
  if (!over && begun) {
    await tab.click('#end');
    await runEnded(tab);
  }
  if (over || begun) {
    await runAgain(tab);
  }
}

// Runs the case, typed, in a new run.
async function typeRun(tab, testCase, phone, where) {
  await startRun(tab);
  const typed = await typeCase(tab, read(testCase, 'in'), phone, where);
  await runEnded(tab);
  return typed;
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

// A page whose program waits to start until the test sets `window.go`.
function held(page) {
  return page.replace(
    'function runCalculator(Module) {',
    `$&
    if (!window.go) { setTimeout(() => runCalculator(Module), 10); return; }`,
  );
}

// The drawing as rendered against its layout at the width it was drawn
// (the layout's own properties are drawing.layout's): each shape where the
// layout puts it, its texts, a CSS pixel to a unit of its view box, within
// the screen; or the layout's sentence in its place.
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
    assert.ok(shown.hidden, `${where}: no drawing without a report`);
    return;
  }
  const layout = layOut(figures, shown.drawing ? shown.drawing.width : DRAWING_WIDTH);
  if (layout.reason) {
    assert.ok(!shown.drawing && shown.caption === layout.reason, `${where}: the sentence says why`);
    return;
  }
  const {drawing} = shown;
  const placed = (a, b) =>
    (a === null) === (b === null) &&
    (a === null || ['x', 'y', 'width', 'height'].every((key) => Math.abs(a[key] - b[key]) < 0.01));
  const misplaced = Object.entries(drawing.boxes).filter(
    ([name, box]) => !placed(box, layout[name]),
  );
  assert.deepEqual(misplaced, [], `${where}: every shape where its layout puts it`);
  assert.ok(
    shown.caption === layout.caption &&
      drawing.label === layout.label &&
      drawing.role === 'img' &&
      drawing.legend.join('|') === layout.legend.map((row) => row.text).join('|'),
    `${where}: the caption, the text alternative and the legend are the layout's`,
  );
  assert.ok(
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
  assert.deepEqual(covered, [], `${where}: the water shows all across`);
}

// After the run, the report's figures in view, and the drawing after them,
// a frame or two after it ends.
async function checkEndingInView(tab, where) {
  let ending;
  for (const deadline = Date.now() + 1000; Date.now() < deadline;) {
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
      return;
    }
    await sleep(20);
  }
  assert.fail(
    `${where}: the report's figures and the drawing are in view (${JSON.stringify(ending)})`,
  );
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
  assert.deepEqual(violations, [], `${where}: axe-core finds no violation`);
}

const consoleWidth = () => document.getElementById('console').getBoundingClientRect().width;

const viewports = {
  desktop: {width: 1280, height: 900},
  phone: {width: 360, height: 740, isMobile: true, hasTouch: true, deviceScaleFactor: 2},
};

it('is at most 160 KiB, and 60 KiB gzipped', () => {
  const page = readFileSync(pagePath);
  const gzipped = gzipSync(page, {level: 9}).length;
  console.log(`page: ${page.length} bytes, ${gzipped} gzipped`);
  assert.ok(page.length <= MAX_BYTES && gzipped <= MAX_GZIPPED, `${page.length}, ${gzipped}`);
});

for (const [name, viewport] of Object.entries(viewports)) {
  const phone = name === 'phone';
  describe(`${engine} on a ${name}`, () => {
    let tab;
    const addresses = []; // each case's, as typing it left the address
    before(async () => {
      tab = await browser.newTab();
      await tab.size(viewport);
      await tab.goto(url);
      await tab.evaluate(watchTheLog);
    });
    after(() => tab.close());

    it('gives the answer field the focus as it opens', () =>
      // With the first frame, never while the page parses.
      waitFor(
        tab,
        () => document.activeElement && document.activeElement.id === 'answer',
        'the focus',
      ));

    it('shows the banner on one line, as the program writes it', async () => {
      const tops = await tab.evaluate(() => {
        const range = document.createRange();
        range.selectNodeContents(document.querySelector('#screen span'));
        return [...range.getClientRects()].map((box) => box.top);
      });
      assert.ok(
        tops.every((top) => top === tops[0]),
        `${tops}`,
      );
    });

    it('passes axe-core before a run', () => accessibility(tab, name));

    it('names Ctrl-D in its help only where there is no touch screen', async () => {
      const [keys, ctrl] = await tab.evaluate(() => [
        getComputedStyle(document.querySelector('.key')).display !== 'none',
        document.getElementById('answer-help').innerText.includes('Ctrl'),
      ]);
      assert.equal(keys, !ctrl);
    });

    let first = true;
    for (const testCase of typedHere) {
      it(`shows ${testCase} typed: its output, error and exit status, as they come`, async () => {
        const where = `${engine} ${name} ${testCase}`;
        if (!first) {
          await runAgain(tab); // without reloading
          await waitFor(
            tab,
            () => document.activeElement.id === 'answer',
            'the focus on the field',
          );
        }
        first = false;
        await tab.evaluate(() => {
          window.replaced.length = 0;
        });
        const width = await tab.evaluate(consoleWidth);
        const {out, err, status} = expected(testCase);
        const failed = status === '1';
        const typed = await typeCase(tab, read(testCase, 'in'), phone, where);
        await runEnded(tab);
        const shown = await consoleShown(tab);
        assert.equal(shown.echo, typed, 'what was typed shows, as typed');
        assert.ok(shown.echoStyled, "what was typed shows in the echo's style");
        assert.equal(shown.out, out);
        assert.equal(shown.err, err);
        assert.equal(
          shown.errorSpans,
          failed ? err : '',
          'errors, and only they, look like errors',
        );
        assert.ok(shown.eachLineApart, 'each line reaches the console on its own');
        assert.deepEqual(shown.replaced, [], 'the live log only grows');
        assert.equal(shown.exitStatus, status);
        assert.ok(
          shown.status.includes(`exit status ${status}`) &&
            !shown.status.includes('could not start') &&
            shown.status.includes('error') === failed &&
            shown.focus === 'status',
          `exit status ${status} is shown, pointing to any error, with the focus (${shown.status})`,
        );
        assert.ok(shown.inputsOff, 'nothing sends input once the run has ended');
        assert.deepEqual(shown.wrapped, [], 'every report line fits whole');
        assert.equal(await tab.evaluate(consoleWidth), width, 'the console keeps its width');
        await checkDrawing(tab, where);
        await checkEndingInView(tab, where);
        await checkWaterShows(tab, where);
        if (!phone) {
          await waitFor(
            tab,
            () => document.body.dataset.addressBehind === undefined,
            'the address',
          );
          addresses.push([testCase, await tab.evaluate(() => location.hash)]);
        }
      });
    }

    describe('after a typical report', () => {
      before(() => typeRun(tab, 'typical', phone, name));

      it('paints the water the blue of its swatch, and the empty tank not at all', async () => {
        const centres = await tab.evaluate(() => {
          const svg = document.querySelector('#reservoir svg');
          svg.scrollIntoView({block: 'center'});
          const centre = (element) => {
            const {left, top, width, height} = element.getBoundingClientRect();
            return [left + width / 2, top + height / 2];
          };
          const [tank, ice] = ['tank', 'ice'].map((part) =>
            svg.querySelector(`[data-part="${part}"]`).getBoundingClientRect(),
          );
          return {
            width: window.innerWidth,
            water: centre(svg.querySelector('[data-part="water"]')),
            swatch: centre(svg.querySelector(':scope > rect:not([data-part])')),
            empty: [tank.left + tank.width / 2, (tank.top + ice.top) / 2],
            page: [svg.getBoundingClientRect().left - 3, (tank.top + ice.top) / 2],
          };
        });
        const png = PNG.sync.read(await tab.viewShot());
        const scale = png.width / centres.width;
        const pixel = ([x, y]) => {
          const at = 4 * (Math.floor(y * scale) * png.width + Math.floor(x * scale));
          return [...png.data.subarray(at, at + 3)];
        };
        const [water, swatch, empty, page] = ['water', 'swatch', 'empty', 'page'].map((part) =>
          pixel(centres[part]),
        );
        const near = (a, b) => a.every((c, i) => Math.abs(c - b[i]) <= 8);
        assert.ok(
          water[2] - water[0] >= 60 && water[2] >= water[1] && near(water, swatch),
          `${water}; ${swatch}`,
        );
        assert.ok(near(empty, page), `the tank's empty part shows the page (${empty}; ${page})`);
        await tab.screenshot(join(shotsDir, `${engine}-${name}.png`));
      });

      it('passes axe-core after a run', () => accessibility(tab, name));

      // Light text on a dark page, where the engine can set the dark
      // scheme: the page, the field and the buttons, disabled too, the
      // drawing, the console's edge, each seen against what is behind it
      // (axe-core checks the rest).
      it('is readable in the dark scheme', async (t) => {
        if (!(await tab.colorScheme('dark'))) {
          t.skip('the dark scheme cannot be set here');
          return;
        }
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
          const contrast = (a, b) => (Math.max(a, b) + 0.05) / (Math.min(a, b) + 0.05);
          const page = luminance(getComputedStyle(document.body).backgroundColor);
          const edge = luminance(
            getComputedStyle(document.getElementById('screen')).borderTopColor,
          );
          const seen = (element, least) => {
            const style = getComputedStyle(element);
            const own = style.backgroundColor.startsWith('rgba(0, 0, 0, 0)')
              ? page
              : luminance(style.backgroundColor);
            const ink = element.closest('svg')
              ? element.tagName === 'line'
                ? style.stroke
                : style.fill
              : style.color;
            return contrast(luminance(ink), own) >= least;
          };
          // The controls as the run left them, taking nothing more.
          const form = document.getElementById('line');
          form.hidden = false;
          const texts = [
            ...document.querySelectorAll(
              'body, a, label, #answer, button, figcaption, #reservoir text',
            ),
          ];
          const shapes = [
            ...document.querySelectorAll('#reservoir line, #reservoir [data-part="person"]'),
          ];
          const unseen = (page < 0.05 ? [] : ['the page'])
            .concat(contrast(edge, page) >= 3 ? [] : ["the console's edge"])
            .concat(
              getComputedStyle(document.getElementById('answer')).colorScheme.includes('dark')
                ? []
                : ["the field's scheme"],
            )
            .concat(
              texts
                .filter((e) => e.getClientRects().length > 0 && !seen(e, 4.5))
                .map((e) => e.id || e.tagName),
            )
            .concat(shapes.filter((e) => !seen(e, 3)).map((e) => e.dataset.part || e.tagName));
          form.hidden = true;
          return unseen;
        });
        assert.deepEqual(unreadable, []);
        await accessibility(tab, `${name}, dark`);
        await tab.screenshot(join(shotsDir, `${engine}-${name}-dark.png`));
        await tab.colorScheme('light');
      });

      if (phone) {
        it('has room under the console for a scrollbar laid over it', async () => {
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
          assert.ok(room >= OVERLAY_SCROLLBAR, `${room}px under the last line`);
        });
      }
    });

    // The key that ends a run never starts the next one: Enter pressed
    // again at once, and again a moment later, keeps the report or the error.
    it('keeps the report or the error through Enter pressed again', async () => {
      for (const lines of [['4 30 10', 'q'], ['abc']]) {
        await startRun(tab);
        for (const line of lines) {
          await waitForTurn(tab);
          await tab.type(line);
          await tab.press('Enter');
        }
        await tab.press('Enter');
        await sleep(100);
        await tab.press('Enter');
        await runEnded(tab);
        await sleep(100);
        const shown = await consoleShown(tab);
        assert.ok(
          shown.exitStatus !== undefined &&
            (lines.length === 1 ? shown.errorSpans !== '' : shown.out === read('typical', 'out')),
          `after ${lines}\n${shown.out}${shown.err}`,
        );
      }
    });

    if (phone) {
      it('scrolls nothing sideways, and keeps the console readable', async () => {
        const [scrolled, width, fontSize] = await tab.evaluate(() => [
          document.documentElement.scrollWidth,
          window.innerWidth,
          parseFloat(getComputedStyle(document.getElementById('screen')).fontSize),
        ]);
        assert.ok(scrolled <= width && fontSize >= 10.4, `${scrolled}, ${width}, ${fontSize}px`);
      });
    } else {
      // On paper, for a meeting, while a question waits: no control, the
      // console's text in dark ink on no background; one page on A4 and
      // Letter where the engine prints.
      it('prints the report alone, in dark ink, on one page', async () => {
        await startRun(tab);
        await waitForTurn(tab);
        await tab.type('4 30 10');
        await tab.press('Enter');
        await waitForTurn(tab);
        if (await tab.printMedia(true)) {
          const [controls, inks, ground] = await tab.evaluate(() => [
            [...document.querySelectorAll('input, button')].filter(
              (e) => e.getClientRects().length > 0,
            ).length,
            [
              ...new Set(
                [...document.querySelectorAll('#screen span')].map(
                  (e) => getComputedStyle(e).color,
                ),
              ),
            ],
            getComputedStyle(document.getElementById('screen')).backgroundColor,
          ]);
          await tab.printMedia(false);
          assert.ok(
            controls === 0 && inks.join() === 'rgb(0, 0, 0)' && ground === 'rgba(0, 0, 0, 0)',
            `${controls}, ${inks}, ${ground}`,
          );
        }
        for (const format of ['A4', 'Letter']) {
          const pages = await tab.printedPages(format);
          assert.ok(pages === null || pages === 1, `${pages} pages on ${format}`);
        }
        await tab.type('q');
        await tab.press('Enter');
        await runEnded(tab);
      });

      // As at a terminal, what is typed with the focus on the console, as
      // after selecting some of it, goes to the field, and Ctrl-D ends the
      // input wherever the focus is.
      it('takes keys typed on the console, Ctrl-Shift-D among them, from the browser', async () => {
        const onConsole = () => {
          const screen = document.getElementById('screen');
          screen.focus();
          getSelection().selectAllChildren(screen);
        };
        await startRun(tab);
        await waitForTurn(tab);
        await tab.evaluate(onConsole);
        await tab.keys('4 30 10');
        await tab.press('Enter');
        await waitForTurn(tab);
        await tab.evaluate(onConsole);
        await tab.endInputKeys('D', true); // a capital, as with Caps Lock too
        await runEnded(tab);
        const shown = await consoleShown(tab);
        assert.ok(
          shown.out === read('typical', 'out') &&
            shown.exitStatus === '0' &&
            (await tab.evaluate(() => window.ctrlDTaken === true)),
          shown.out,
        );
      });

      // End input ends the input with what the field holds, sending no
      // line, and Run again starts a run.
      it('does what a button says at Enter on End input and Space on Run again', async () => {
        await startRun(tab);
        await waitForTurn(tab);
        await tab.type('4 30 10');
        await tab.evaluate(() => document.getElementById('end').focus());
        await tab.press('Enter');
        await runEnded(tab);
        const shown = await consoleShown(tab);
        assert.ok(shown.echo === '4 30 10' && shown.out === read('typical', 'out'), shown.echo);
        await tab.evaluate(() => {
          delete document.body.dataset.exitStatus;
          document.getElementById('again').focus();
        });
        await tab.press(' ');
        assert.ok(await waitForTurn(tab));
      });
    }

    it('sends no request and reports no error', async () => {
      const left = (await tab.requests()).filter((address) => address.split('#')[0] !== url);
      assert.deepEqual(left, []);
      assert.deepEqual(await tab.errors(), []);
    });

    if (phone) {
      return;
    }

    // A window narrowed while a run waits, to 280 pixels as a folded
    // phone's cover screen: the console's font fitted anew, and the drawing
    // laid out at the width it is given, under its usual 300.
    it('fits the report and the drawing to a window narrowed to 280 pixels', async () => {
      await startRun(tab);
      await tab.size({width: 280, height: 640});
      // The engine tells the page of the resize with a frame to come.
      await waitFor(
        tab,
        () =>
          document.getElementById('answer').getBoundingClientRect().bottom <=
          window.innerHeight + 1,
        'the field in view at 280 pixels',
      );
      await typeCase(tab, read('typical', 'in'), false, 'narrowed');
      await runEnded(tab);
      const shown = await consoleShown(tab);
      assert.ok(
        shown.out === read('typical', 'out') && shown.wrapped.length === 0,
        `${shown.wrapped}`,
      );
      await checkDrawing(tab, 'narrowed');
      await tab.screenshot(join(shotsDir, `${engine}-280.png`));
      // WebKit's window takes its size a moment after the driver answers,
      // and the page refits its font at the next frame.
      await tab.size(viewports.desktop);
      await waitFor(tab, () => window.innerWidth === 1280, 'the desktop width again');
      await tab.evaluate(
        () => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))),
      );
    });

    // Its WebAssembly refused at Run again or at the first start, or its
    // runtime throwing: status 1, the error on a line of its own after
    // what was typed, and no question left that nothing will read.
    for (const [how, open] of [
      [
        'its WebAssembly refused at Run again',
        async () => {
          await tab.evaluate(() => {
            WebAssembly.instantiate = () => Promise.reject(new Error('no room'));
            WebAssembly.instantiateStreaming = WebAssembly.instantiate;
          });
          await runAgain(tab);
          return () => {};
        },
      ],
      [
        "its WebAssembly refused, after a line and the input's end",
        async () => {
          const removeCopy = await openCopy(tab, (page) =>
            held(page.replace('id="program-wasm">AGFzbQ', 'id="program-wasm">AAAAAA')),
          );
          await tab.type('4');
          await tab.press('Enter');
          await tab.type('30');
          await tab.endInputKeys('d');
          await tab.evaluate(() => {
            window.go = true;
          });
          return removeCopy;
        },
      ],
      [
        'its runtime throwing',
        () =>
          openCopy(tab, (page) =>
            page.replace(
              'function runCalculator(Module) {',
              '$& throw new TypeError("no runtime");',
            ),
          ),
      ],
    ]) {
      it(`says that the calculator could not start, ${how}`, async () => {
        const removeCopy = await open();
        await runEnded(tab);
        const shown = await consoleShown(tab);
        const text = await tab.evaluate(() => document.getElementById('screen').textContent);
        removeCopy();
        assert.ok(
          shown.exitStatus === '1' &&
            shown.status.includes('could not start') &&
            shown.status.includes('exit status 1') &&
            shown.inputsOff &&
            /(^|\n)error: /.test(text) &&
            !shown.out.includes('?'),
          `${shown.out}${shown.err}`,
        );
        assert.ok(
          !how.includes('line') || shown.echo.trimEnd() === '4\n30',
          `what was typed stays: ${shown.echo}`,
        );
      });
    }

    // Its own first lines leave the page's as they are; others, or more,
    // give way to its.
    for (const [lines, edit] of [
      ['the same', (page) => page],
      ['others', (page) => page.replace('>Welcom to', '>Welcome to')],
      [
        'more',
        (page) =>
          page.replace('How many people? </span>', '$&<span data-fd="1" class="out">?</span>'),
      ],
    ]) {
      it(`shows the program's own first lines where the page showed ${lines}`, async () => {
        const removeCopy = await openCopy(tab, (page) => held(edit(page)));
        await tab.evaluate(watchTheLog);
        await tab.evaluate(() => {
          window.go = true;
        });
        const typed = await typeCase(tab, read('typical', 'in'), false, lines);
        await runEnded(tab);
        const shown = await consoleShown(tab);
        removeCopy();
        assert.ok(
          shown.out === read('typical', 'out') &&
            shown.echo === typed &&
            (lines !== 'the same' || shown.replaced.length === 0),
          `${shown.replaced}\n${shown.out}`,
        );
      });
    }

    // Once anything is typed, with the page's own keys too, or typed and
    // erased, a release waits for the next visit rather than reload the page.
    for (const [how, typing] of [
      ['a page key', () => tab.evaluate(() => document.querySelector('.key').click())],
      ['a key typed and erased', () => tab.type('7').then(() => tab.press('Backspace'))],
    ]) {
      it(`keeps a release for the next visit after ${how}, and says so`, async () => {
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
        assert.ok(stayed && told);
      });
    }

    // As by a connection dropped: it says so, and takes nothing typed.
    it('says so where the page was cut off before its program', async () => {
      const removeCopy = await openCopy(tab, (page) => page.slice(0, page.lastIndexOf('<script>')));
      await sleep(300);
      const [status, inputsOff] = await tab.evaluate(() => [
        document.getElementById('status').textContent,
        [...document.querySelectorAll('#line input, #line button')].every(
          (input) => input.disabled,
        ),
      ]);
      removeCopy();
      assert.ok(/did not load/.test(status) && inputsOff, status);
    });

    // The answers kept in the page's address.
    it('gives the same run, opened from the address that typing each case left', async () => {
      for (const [at, [testCase, fragment]] of addresses.entries()) {
        await tab.goto(`${url}?${at}${fragment}`);
        await runEnded(tab);
        const shown = await consoleShown(tab);
        const {out, err, status} = expected(testCase);
        assert.ok(
          shown.out === out && shown.err === err && shown.exitStatus === status,
          `${testCase}, ${fragment}\n${shown.out}${shown.err}`,
        );
      }
    });

    it('takes a hostile or oversized link as text or nothing, and says why', async () => {
      for (const [at, fragment] of [
        '#answers=<img src=x onerror="window.ran=1">/<b>4</b>&end',
        `#answers=${'9'.repeat(5000)}`,
        '#end=%E0',
      ].entries()) {
        const errors = (await tab.errors()).length;
        // A query of its own, or the page would only move to the fragment.
        await tab.goto(`${url}?link${at}${fragment}`);
        await waitFor(
          tab,
          () =>
            document.body.dataset.exitStatus !== undefined ||
            document.body.dataset.waiting === 'yes',
          'the program',
        );
        const [made, note] = await tab.evaluate(() => [
          document.querySelectorAll('#screen :not(span), #screen span *, img, b').length +
            (window.ran || 0),
          document.getElementById('address-note').textContent,
        ]);
        const raised = (await tab.errors()).slice(errors);
        assert.ok(
          made === 0 && raised.length === 0 && (fragment.includes('<') || note !== ''),
          `${fragment.slice(0, 40)}: ${made}, ${raised}, ${note}`,
        );
      }
    });

    it('gives back a run that waits at a reload, and Run again takes the answers out', async () => {
      await tab.goto(url);
      await waitForTurn(tab);
      await tab.type('4 30');
      await tab.press('Enter');
      await waitForTurn(tab);
      await tab.reload();
      await tab.evaluate(watchTheLog);
      await waitForTurn(tab);
      await checkWaiting(tab, 'reloaded');
      await typeCase(tab, '10\nq', false, 'reloaded');
      await runEnded(tab);
      const shown = await consoleShown(tab);
      await runAgain(tab);
      const hash = await tab.evaluate(() => location.hash);
      assert.ok(
        shown.echo === '4 30\n10\nq' && shown.out === read('typical', 'out') && hash === '',
        `${hash}\n${shown.out}`,
      );
    });

    it('runs no script but its own', async () => {
      const ran = await tab.evaluate(
        () =>
          new Promise((done) => {
            const script = document.createElement('script');
            script.textContent = 'window.ran = true;';
            document.head.append(script);
            setTimeout(() => done(window.ran === true), 100);
          }),
      );
      assert.ok(!ran);
    });
  });
}

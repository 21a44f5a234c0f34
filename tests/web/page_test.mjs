// Drives the calculator's page in one engine, chromium, firefox or webkit,
// opened from file://, on a desktop and on a phone 360 CSS pixels wide.
// Each golden case that a person can type is typed, one line only once the
// program waits for it, and the text shown must be the case's output, its
// error and its exit status; the reservoir must be drawn as its layout
// says, or a sentence must say why there is none. Also checks the
// page's size, the focus and the field's name, that the console's live log
// only ever grows, each line apart, that errors and only errors look like
// errors, that nothing sends input once a run has ended and that a second
// Enter keeps the report, Ctrl-D and typing with the focus off the field,
// axe-core before and after a run, that nothing leaves the page, no page
// error, that the console keeps its width, and on the phone that every
// report line fits whole, the drawing comes into view and nothing scrolls
// sideways.
//
// With `served-chromium` or `served-firefox` in place of an engine, serves
// the folder on 127.0.0.1 as a static host does (old files, no cache
// headers) to that engine: what is typed while the program arrives must
// reach it; the page must be installable, open offline straight after a
// first visit, open at once from a server that never answers or fails,
// with or without a query, and take a release, deleting the old copy.
//
// Exits 77 (skipped) where puppeteer-core or the engine is missing.
// Arguments: the engine, the web folder (as the web zip holds it), the
// folder of cases, a folder for screenshots.
import {existsSync, mkdirSync, readFileSync, readdirSync} from 'node:fs';
import {createRequire} from 'node:module';
import {createServer} from 'node:http';
import {extname, join, resolve} from 'node:path';
import {pathToFileURL} from 'node:url';
import {setTimeout as sleep} from 'node:timers/promises';
import {gzipSync} from 'node:zlib';

const served = process.argv[2].startsWith('served-');
const engine = process.argv[2].replace(/^served-/, '');
const [siteDir, casesDir, shotsDir] = process.argv.slice(3).map((p) => resolve(p));
const pagePath = join(siteDir, 'index.html');
const HINT = 'Type anything and press Enter to end.\n';
const MAX_BYTES = 512 * 1024;
const MAX_GZIPPED = 160 * 1024;

let launch;
let axeSource;
try {
  ({launch} = await import('./browsers.mjs'));
  axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
} catch {
  console.log('puppeteer-core or axe-core is not installed: run npm ci in tests/web');
  process.exit(77);
}
const browser = await launch(engine);
if (!browser) {
  console.log(`${engine} is not installed`);
  process.exit(77);
}

const failures = [];
function check(holds, what) {
  if (!holds) {
    failures.push(what);
    console.log(`FAILED: ${what}`);
  }
}

async function waitFor(tab, condition, what) {
  for (const deadline = Date.now() + 20000; Date.now() < deadline;) {
    // A page that is being replaced has nothing to evaluate for a moment.
    if (await tab.evaluate(condition).catch(() => false)) {
      return;
    }
    await new Promise((wake) => setTimeout(wake, 20));
  }
  throw new Error(`timed out waiting for ${what}`);
}

async function waitForTurn(tab) {
  await waitFor(tab, () => document.body.dataset.waiting === 'yes' ||
                           document.body.dataset.exitStatus !== undefined, 'the program');
  return tab.evaluate(() => document.body.dataset.exitStatus === undefined);
}

// On a phone, the minus sign and the e come from the page's own keys, which
// a phone's keyboard for numbers may lack, where the engine shows them.
async function typeLine(tab, text, phone) {
  // Tabs would move the focus, and a very long line takes long to type.
  if (text.length > 80 || text.includes('\t')) {
    await tab.evaluate((value) => { document.getElementById('answer').value = value; }, text);
    return;
  }
  const keys = phone && await tab.evaluate(
    () => getComputedStyle(document.querySelector('.key')).display !== 'none');
  let plain = '';
  for (const character of text) {
    if (keys && (character === '-' || character === 'e')) {
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
async function checkWaiting(tab, where) {
  const [name, shown, inView, status, againHidden] = await tab.evaluate(() => {
    const {top, bottom} = document.getElementById('answer').getBoundingClientRect();
    return [document.querySelector('label[for="answer"]').textContent,
            [...document.querySelectorAll('#screen span:not(.echo)')].map((s) => s.textContent).join(''),
            top >= 0 && bottom <= window.innerHeight + 1,
            document.getElementById('status').textContent, document.getElementById('again').hidden];
  });
  check(name !== 'Answer' && name !== '' && shown.trimEnd().endsWith(name),
        `${where}: the field is named for the question that waits (${name})`);
  check(inView && status === '' && againHidden,
        `${where}: while the program waits, the field is in view, with no status and no Run again (${status})`);
}

// Types the case's input, then ends it the way this viewport's person
// would; gives what it typed.
async function typeCase(tab, input, phone, where) {
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
    check(await tab.evaluate(() => window.ctrlDTaken === true),
          `${where}: Ctrl-D is the page's, not the browser's`);
  }
  return typed + last;
}

// The key that ends a run never starts the next one: Enter pressed again
// at once, and again a moment later, keeps the report or the error.
async function checkEndingKeys(tab, where) {
  for (const lines of [['4 30 10', 'q'], ['abc']]) {
    await tab.click('#again');
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
    check(shown.exitStatus !== undefined && (lines.length === 1 ? shown.errorSpans !== '' : shown.out === read('typical', 'out')),
          `${where}: Enter after ${lines} ends the run, and keeps what it showed\n${shown.out}${shown.err}`);
  }
}

// A program that stops short, here since its WebAssembly cannot start,
// says so as an error and ends with status 1.
async function checkAbort(tab, where) {
  await tab.evaluate(() => {
    WebAssembly.instantiate = () => Promise.reject(new Error('no room'));
    WebAssembly.instantiateStreaming = WebAssembly.instantiate;
  });
  await tab.click('#again');
  await waitFor(tab, () => document.body.dataset.exitStatus !== undefined, 'the end of the run');
  const shown = await consoleShown(tab);
  check(shown.exitStatus === '1' && shown.errorSpans.startsWith('error: ') && shown.status.includes('exit status 1'),
        `${where}: a program that stops short ends with status 1 and says so (${shown.err})`);
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
  await tab.click('#again');
  await waitForTurn(tab);
  await tab.evaluate(onConsole);
  await tab.keys('4 30 10');
  await tab.press('Enter');
  await waitForTurn(tab);
  await tab.evaluate(onConsole);
  await tab.endInputKeys('D');  // as with Caps Lock on
  await waitFor(tab, () => document.body.dataset.exitStatus !== undefined, 'the end of the run');
  const shown = await consoleShown(tab);
  check(shown.out === read('typical', 'out') && shown.exitStatus === '0',
        `${where}: keys typed on the console, and Ctrl-D there with Caps Lock, reach the program\n${shown.out}`);
}

// What the console shows, by stream, and how each stream's lines look.
function consoleShown(tab) {
  return tab.evaluate(() => {
    const screen = document.getElementById('screen');
    // The report's lines: the program's, past the banner and the rule, but
    // for the questions.
    const reportLines = () => [...screen.querySelectorAll('span[data-fd="1"]')]
      .filter((s) => s.textContent.endsWith('\n') && !s.textContent.includes('?')).slice(2);
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
    const text = (fd) => spans.filter((s) => s.dataset.fd === fd).map((s) => s.textContent).join('');
    return {
      out: text('1'),
      err: text('2'),
      errorSpans: spans.filter((s) => s.className === 'err').map((s) => s.textContent).join(''),
      echo: text('0'),
      echoStyled: spans.every((s) => (s.dataset.fd === '0') === (s.className === 'echo')),
      focus: document.activeElement && document.activeElement.id,
      eachLineApart: spans.every((s) => !s.textContent.slice(0, -1).includes('\n')),
      exitStatus: document.body.dataset.exitStatus,
      status: document.getElementById('status').textContent,
      inputsOff: [...document.querySelectorAll('#line input, #line button')].every((e) => e.disabled),
      replaced: window.replaced,
      wrapped: reportLines().filter((line) => !fitsWhole(line)).map((line) => line.textContent),
    };
  });
}

// The drawing as rendered against its layout at the width it was drawn
// (the layout's own properties are reservoir_layout's test's): each shape
// where the layout puts it, its texts, a CSS pixel to a unit of its view
// box, within the screen; or the layout's sentence in its place.
async function checkDrawing(tab, where) {
  const shown = await tab.evaluate(() => {
    const out = [...document.querySelectorAll('#screen span[data-fd="1"]')].map((s) => s.textContent).join('');
    const figure = document.getElementById('reservoir');
    const figures = reservoirLayout.figuresOf(out);
    if (!figures) {
      return {figures, shown: !figure.hidden};
    }
    const svg = figure.querySelector('svg');
    const caption = figure.querySelector('figcaption').textContent;
    const layout = reservoirLayout.layOut(figures, svg ? svg.viewBox.baseVal.width : reservoirLayout.DRAWING_WIDTH);
    if (layout.reason) {
      return {figures, sentence: !svg && caption === layout.reason, caption};
    }
    const box = (name) => {
      const part = svg.querySelector(`[data-part="${name}"]`);
      return part && part.getBBox();
    };
    const placed = (a, b) => (a === null) === (b === null) &&
        (a === null || ['x', 'y', 'width', 'height'].every((key) => Math.abs(a[key] - b[key]) < 0.01));
    const onScreen = svg.getBoundingClientRect();
    return {
      figures,
      misplaced: ['tank', 'water', 'ice', 'person'].filter((name) => !placed(box(name), layout[name])),
      texts: caption === layout.caption && svg.getAttribute('aria-label') === layout.label &&
          svg.getAttribute('role') === 'img' &&
          [...svg.querySelectorAll('text')].map((text) => text.textContent).join('|') ===
          layout.legend.map((row) => row.text).join('|'),
      scale: Math.abs(onScreen.width - layout.width) < 0.01 &&
          onScreen.right <= document.documentElement.clientWidth,
      tankShows: svg.querySelector('[data-part="tank"]').getBoundingClientRect().width >= 1,
    };
  });
  if (!shown.figures) {
    check(!shown.shown, `${where}: no drawing without a report`);
  } else if (shown.sentence !== undefined) {
    check(shown.sentence, `${where}: the sentence says why nothing is drawn (${shown.caption})`);
  } else {
    check(shown.misplaced.length === 0, `${where}: every shape where its layout puts it (${shown.misplaced})`);
    check(shown.texts, `${where}: the caption, the text alternative and the legend are the layout's`);
    check(shown.scale, `${where}: shown a pixel to a unit of the drawing, within the screen`);
    check(shown.tankShows, `${where}: the tank shows on the screen`);
  }
}

// Records whatever in the console's live log is replaced or taken away,
// rather than added to, in `window.replaced`, and in `window.ctrlDTaken`
// whether the page kept the last Ctrl-D from the browser.
function watchTheLog() {
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
  }).observe(document.getElementById('screen'), {childList: true, subtree: true, characterData: true});
}

function consoleWidth() {
  return document.getElementById('console').getBoundingClientRect().width;
}

async function accessibility(tab, where) {
  if (!(await tab.evaluate(() => typeof window.axe === 'object'))) {
    await tab.evaluate(axeSource);
  }
  const violations = await tab.evaluate(
    () => window.axe.run(document).then((result) =>
      result.violations.map((v) => `${v.id} (${v.nodes.map((n) => n.target).join(', ')})`)));
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
  .filter((name) => !existsSync(join(casesDir, `${name}.args`)) && !existsSync(join(casesDir, `${name}.argv0`)))
  .filter((name) => /^[\x20-\x7e\t\n]*$/.test(readFileSync(join(casesDir, `${name}.in`), 'latin1')))
  .sort();
const read = (name, ext) => readFileSync(join(casesDir, `${name}.${ext}`), 'utf8');

async function typedCases() {
  const page = readFileSync(pagePath);
  const gzipped = gzipSync(page, {level: 9}).length;
  console.log(`page: ${page.length} bytes, ${gzipped} gzipped`);
  check(page.length <= MAX_BYTES, `the page is at most ${MAX_BYTES} bytes`);
  check(gzipped <= MAX_GZIPPED, `the page is at most ${MAX_GZIPPED} bytes gzipped`);
  const url = pathToFileURL(pagePath).href;
  mkdirSync(shotsDir, {recursive: true});

  for (const [name, viewport] of Object.entries(viewports)) {
    const tab = await browser.newTab();
    await tab.size(viewport);
    await tab.goto(url);
    await waitFor(tab, () => document.querySelector('#screen span') !== null, 'the banner');
    check(await tab.evaluate(() => document.activeElement && document.activeElement.id === 'answer'),
          `${name}: the answer field has the focus when the page opens`);
    check(await tab.evaluate(() => document.getElementById('answer').inputMode === 'decimal'),
          `${name}: the answer field asks for a keyboard for numbers`);
    await accessibility(tab, `${name}, before a run`);
    await tab.evaluate(watchTheLog);
    check(await tab.evaluate(() => getComputedStyle(document.querySelector('.key')).display !== 'none') ===
          !(await tab.evaluate(() => document.getElementById('answer-help').innerText.includes('Ctrl'))),
          `${name}: the help names Ctrl-D only where there is no touch screen`);

    let first = true;
    for (const testCase of cases) {
      if (!first) {
        await tab.click('#again');  // runs again without reloading
      }
      first = false;
      const where = `${engine} ${name} ${testCase}`;
      const width = await tab.evaluate(consoleWidth);
      await tab.evaluate(() => { window.replaced.length = 0; });
      const failed = existsSync(join(casesDir, `${testCase}.err`));
      const expectedErr = failed ? read(testCase, 'err') : HINT;
      const expectedStatus = failed ? '1' : '0';
      const typed = await typeCase(tab, read(testCase, 'in'), name === 'phone', where);
      await waitFor(tab, () => document.body.dataset.exitStatus !== undefined, 'the end of the run');
      const shown = await consoleShown(tab);
      check(shown.echo === typed && shown.echoStyled, `${where}: what was typed shows, as typed\n${shown.echo}`);
      check(shown.out === read(testCase, 'out'), `${where}: the output shown is the case's\n${shown.out}`);
      check(shown.err === expectedErr, `${where}: the errors shown are the case's\n${shown.err}`);
      check(shown.errorSpans === (failed ? expectedErr : ''), `${where}: errors, and only they, look like errors`);
      check(shown.eachLineApart, `${where}: each line reaches the console on its own`);
      check(shown.replaced.length === 0, `${where}: the live log only grows (${shown.replaced})`);
      check(shown.exitStatus === expectedStatus && shown.status.includes(`exit status ${expectedStatus}`) &&
            shown.status.includes('error') === failed && shown.focus === 'status',
            `${where}: exit status ${expectedStatus} is shown, pointing to any error, with the focus (${shown.status})`);
      check(shown.inputsOff, `${where}: nothing sends input once the run has ended`);
      check(shown.wrapped.length === 0, `${where}: every report line fits whole (${shown.wrapped})`);
      check(await tab.evaluate(consoleWidth) === width, `${where}: the console keeps its width`);
      await checkDrawing(tab, where);
      check(await tab.evaluate(() => {
        const {top, bottom} = document.getElementById('reservoir').getBoundingClientRect();
        return bottom <= window.innerHeight + 1 || top <= 0;
      }), `${where}: the drawing is in view`);
      if (testCase === 'typical') {
        await accessibility(tab, `${name}, after a run`);
        await tab.screenshot(join(shotsDir, `${engine}-${name}.png`));
      }
    }
    await checkEndingKeys(tab, `${engine} ${name}`);
    if (name === 'desktop') {
      await checkKeysOffTheField(tab, `${engine} ${name}`);
    }
    if (name === 'phone') {
      const widths = await tab.evaluate(() => [document.documentElement.scrollWidth, window.innerWidth]);
      check(widths[0] <= widths[1], `phone: nothing scrolls sideways (${widths})`);
      const fontSize = await tab.evaluate(
        () => parseFloat(getComputedStyle(document.getElementById('screen')).fontSize));
      // 11 pixels, the smallest of Apple's text sizes, where characters
      // take fractional widths; WebKitGTK, a pixel to a pixel, rounds them.
      check(fontSize >= 10.4, `phone: the console's text is readable (${fontSize}px)`);
    }
    const left = (await tab.requests()).filter((address) => address !== url && !address.startsWith('data:'));
    check(left.length === 0, `${name}: no request leaves the page (${left})`);
    const errors = await tab.errors();
    check(errors.length === 0, `${name}: the page reports no error (${errors})`);
    if (name === 'desktop') {
      await checkAbort(tab, `${engine} ${name}`);  // last: the runtime reports it as an error too
    }
    await tab.close();
  }
  console.log(`${cases.length} cases typed on each viewport`);
}

// The folder served as a static host serves it: files 30 days old, with
// their Last-Modified and no Cache-Control. `server.mode` is what goes
// wrong: 'hang' accepts and never answers, 'error' answers 500, 'refuse'
// drops the connection; `server.release`, a word that the page's title
// begins with, stands for a release, whose page and worker differ; `server.held`, a promise, holds the page back just
// before its program until it settles. The manual comes late.
const MANUAL_DELAY = 3000;  // ms, longer than the first run takes

function serve() {
  const types = {'.html': 'text/html', '.js': 'text/javascript', '.png': 'image/png',
                 '.webmanifest': 'application/manifest+json', '.md': 'text/plain', '.txt': 'text/plain'};
  const modified = new Date(Date.now() - 30 * 24 * 60 * 60 * 1000).toUTCString();
  const server = createServer(async (request, response) => {
    if (server.mode === 'hang') {
      return;
    }
    if (server.mode === 'refuse') {
      request.socket.destroy();
      return;
    }
    if (server.mode === 'error') {
      response.writeHead(500).end();
      return;
    }
    const path = new URL(request.url, 'http://host').pathname.replace(/\/$/, '/index.html');
    const file = join(siteDir, decodeURIComponent(path));
    if (!file.startsWith(siteDir) || !existsSync(file)) {
      response.writeHead(404).end();
      return;
    }
    let body = readFileSync(file, path.endsWith('.png') ? null : 'utf8');
    if (server.release && path === '/index.html') {
      body = body.replace('<title>', `<title>${server.release} `);
    } else if (server.release && path === '/service_worker.js') {
      body = body.replace(/const CACHE = '[^']*/, `$&-${server.release}`);
    }
    if (path === '/water_calculator.html') {
      await sleep(MANUAL_DELAY);  // a worker that keeps it must wait for it
    }
    response.writeHead(200, {'content-type': types[extname(file)] || 'application/octet-stream',
                             'last-modified': modified});
    const program = body.indexOf('<script>\n// The calculator, built with emscripten');
    if (server.held && path === '/index.html' && program > 0) {
      response.write(body.slice(0, program));
      await server.held;
      body = body.slice(program);
    }
    response.end(body);
  });
  return new Promise((ready) => server.listen(0, '127.0.0.1', () => ready(server)));
}

// Opens `address` in the tab, and waits for the new page's first question.
async function visit(tab, address) {
  await tab.evaluate(() => { window.left = true; });
  tab.goto(address).catch(() => {});  // the question may come before the load
  await waitFor(tab, () => window.left === undefined && document.body.dataset.waiting === 'yes',
                `the first question at ${address}`);
}

async function servedPage() {
  const server = await serve();
  const origin = `http://127.0.0.1:${server.address().port}`;
  const tab = await browser.newTab();
  const page = tab.puppeteer;
  const where = `served to ${engine}`;

  // The first visit, on a slow network: typed while the program arrives,
  // a line and the start of the next.
  let arrive;
  server.held = new Promise((resolve) => { arrive = resolve; });
  const navigation = tab.goto(`${origin}/`);
  await waitFor(tab, () => !document.getElementById('answer').disabled, 'the field');
  check((await tab.evaluate(() => document.getElementById('status').textContent)).includes('loading'),
        `${where}: until the program arrives, the page says it is loading`);
  await tab.type('4 30 10');
  await tab.press('Enter');
  await tab.type('q');
  arrive();
  server.held = null;
  await navigation;
  await waitFor(tab, () => document.body.dataset.waiting === 'yes' &&
                           document.getElementById('answer').value === 'q', 'the closing wait');
  await tab.press('Enter');
  await waitFor(tab, () => document.body.dataset.exitStatus !== undefined, 'the end of the run');
  const early = await consoleShown(tab);
  check(early.out === read('typical', 'out') && early.exitStatus === '0' && !early.status.includes('loading'),
        `${where}: what was typed while the page loaded reaches the program\n${early.out}`);

  await waitFor(tab, () => navigator.serviceWorker.controller !== null, 'the service worker');
  const kept = () => tab.evaluate(async () => Promise.all((await caches.keys()).map(async (name) => ({
    name, files: (await (await caches.open(name)).keys()).map((request) => new URL(request.url).pathname),
  }))));
  // As soon as the worker shows the page, what the page links to is kept:
  // its manual, its manifest, its icons, Safari's among them.
  const [first] = await kept();
  check(first.files.filter((file) => file === '/' || file === '/index.html').length === 1,
        `${where}: the page is kept once (${first.files})`);
  const linked = await tab.evaluate(() => [...document.querySelectorAll('link[href], a[href]')]
    .map((link) => [link.rel, new URL(link.href).pathname]));
  check(linked.some(([rel]) => rel === 'apple-touch-icon') &&
        linked.every(([, path]) => first.files.includes(path)),
        `${where}: what the page links to is kept (${linked}; ${first.files})`);
  if (engine === 'chromium') {
    const cdp = await page.createCDPSession();
    const {installabilityErrors} = await cdp.send('Page.getInstallabilityErrors');
    check(installabilityErrors.length === 0,
          `${where}: the page is installable (${JSON.stringify(installabilityErrors)})`);
    const {data} = await cdp.send('Page.getAppManifest');
    const {name, short_name: shortName} = JSON.parse(data);
    check(!/_/.test(name + shortName), `${where}: the app's name is one a person reads (${name}, ${shortName})`);
  }

  // Straight after the first visit, with no network.
  server.mode = 'refuse';
  await page.setOfflineMode(true).catch(() => {});
  await visit(tab, `${origin}/`);
  await tab.evaluate(watchTheLog);
  await typeCase(tab, read('typical', 'in'), false, `${where} offline`);
  await waitFor(tab, () => document.body.dataset.exitStatus !== undefined, 'the end of the run');
  const offline = await consoleShown(tab);
  check(offline.out === read('typical', 'out') && offline.exitStatus === '0',
        `${where}: offline after one visit, a whole session gives its report\n${offline.out}`);
  await page.setOfflineMode(false).catch(() => {});

  // A server that never answers, and one that fails, with and without a
  // query: the kept copy asks its first question at once.
  // (The query also keeps the browser's HTTP cache out of it.)
  for (const [mode, address] of [['hang', '/'], ['hang', '/?signal=weak'], ['error', '/'],
                                 ['error', '/?from=home']]) {
    server.mode = mode;
    const started = Date.now();
    await visit(tab, origin + address);
    const took = Date.now() - started;
    check(took < 3000, `${where}: a server that does "${mode}" at ${address} holds nothing back (${took} ms)`);
    server.closeAllConnections();
  }

  // A release: taken at the first visit, as nothing has been typed, and
  // the old copy deleted.
  server.mode = null;
  server.release = 'new';
  await visit(tab, `${origin}/`);
  await waitFor(tab, () => document.title.startsWith('new ') && document.body.dataset.waiting === 'yes',
                'the release');
  const names = (await kept()).map((cache) => cache.name);
  check(names.length === 1 && names[0] !== first.name,
        `${where}: after a release only its copy is kept (${names}, was ${first.name})`);
  await visit(tab, `${origin}/`);
  check((await tab.evaluate(() => document.title)).startsWith('new '), `${where}: the next visit opens the release`);

  // Once the person has begun, a release waits for the next visit, and
  // says so.
  await tab.type('4');
  server.release = 'newer';
  await tab.evaluate(() => navigator.serviceWorker.getRegistration().then((worker) => worker.update()));
  await waitFor(tab, () => document.getElementById('release').textContent !== '', 'word of the release');
  check(await tab.evaluate(() => document.title.startsWith('new ') &&
                                 document.getElementById('answer').value === '4'),
        `${where}: a release leaves a run that has begun as it is`);
  await visit(tab, `${origin}/`);
  check((await tab.evaluate(() => document.title)).startsWith('newer '),
        `${where}: the visit after the word opens the release`);

  const left = (await tab.requests()).filter((address) =>
    !address.startsWith(`${origin}/`) && !address.startsWith('data:'));
  check(left.length === 0, `${where}: no request leaves the page's origin (${left})`);
  const errors = await tab.errors();
  check(errors.length === 0, `${where}: the page reports no error (${errors})`);
  await tab.close();
  server.close();
  server.closeAllConnections();
}

try {
  await (served ? servedPage() : typedCases());
} catch (error) {
  check(false, String(error.stack || error));
}
await browser.close();
console.log(`${failures.length} failures`);
process.exit(failures.length === 0 ? 0 : 1);

// Debian's Chromium, Firefox and WebKit, headless, each behind the same
// few calls, for the page's test and its benchmark. Chromium and Firefox
// through the puppeteer-core that npm ci puts beside this file; WebKit
// through its own WebDriver, which needs an X display and no npm module.
import {spawn} from 'node:child_process';
import {existsSync, mkdtempSync, rmSync, writeFileSync} from 'node:fs';
import {createServer} from 'node:net';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {setTimeout as sleep} from 'node:timers/promises';
import {constants, inflateSync} from 'node:zlib';

import puppeteer from 'puppeteer-core';

// The benchmark's network, as Chrome's tools name it.
export {PredefinedNetworkConditions} from 'puppeteer-core';

const PROGRAMS = {
  chromium: '/usr/bin/chromium',
  firefox: '/usr/bin/firefox-esr',
  webkit: '/usr/bin/WebKitWebDriver',
};
const MINIBROWSER = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';

// With a profile of its own in `userDataDir`. Chromium reaches for Google's
// services at start, which a closed network refuses; none of that is the
// page's doing.
export function launchChromium(userDataDir) {
  return puppeteer.launch({
    executablePath: PROGRAMS.chromium,
    headless: true,
    userDataDir,
    args: [
      '--no-sandbox',
      '--disable-gpu',
      '--disable-quic',
      '--no-first-run',
      '--disable-background-networking',
      '--disable-component-update',
      '--disable-sync',
      '--disable-default-apps',
    ],
  });
}

// The pages of a PDF, some of whose objects may sit in compressed streams.
function pagesOf(pdf) {
  const text = Buffer.from(pdf).toString('latin1');
  const inflated = [...text.matchAll(/stream\r?\n([\s\S]*?)endstream/g)].map(([, body]) => {
    try {
      return inflateSync(Buffer.from(body, 'latin1'), {
        finishFlush: constants.Z_SYNC_FLUSH,
      }).toString('latin1');
    } catch {
      return ''; // not deflated
    }
  });
  return ([text, ...inflated].join('\n').match(/\/Type\s*\/Page\b(?!s)/g) || []).length;
}

// A tab of Chromium or Firefox, keeping what it saw go wrong.
function puppeteerTab(tab) {
  const errors = [];
  const requests = [];
  tab.on('request', (request) => requests.push(request.url()));
  tab.on('pageerror', (error) => errors.push(String(error)));
  tab.on('console', (message) => {
    if (message.type() === 'error') {
      errors.push(message.text());
    }
  });
  return {
    puppeteer: tab,
    size: (viewport) => tab.setViewport(viewport),
    goto: (url) => tab.goto(url, {waitUntil: 'load'}),
    reload: () => tab.reload({waitUntil: 'load'}),
    evaluate: (code, ...args) => tab.evaluate(code, ...args),
    type: (text) => tab.type('#answer', text),
    keys: (text) => tab.keyboard.type(text), // to whatever has the focus
    press: (key) => tab.keyboard.press(key),
    async endInputKeys(letter, shift = false) {
      const held = shift ? ['Control', 'Shift'] : ['Control'];
      for (const key of held) {
        await tab.keyboard.down(key);
      }
      await tab.keyboard.press(letter);
      for (const key of held.reverse()) {
        await tab.keyboard.up(key);
      }
    },
    click: (selector) => tab.click(selector),
    screenshot: (path) => tab.screenshot({path, fullPage: true}),
    // The PNG of what the engine painted in the viewport.
    viewShot: async () => Buffer.from(await tab.screenshot()),
    // Code run in each document the tab opens, before the page's own.
    beforeScripts: (code) => tab.evaluateOnNewDocument(code),
    // Whether the engine took the light or dark scheme, or print media.
    colorScheme: (value) =>
      tab.emulateMediaFeatures([{name: 'prefers-color-scheme', value}]).then(
        () => true,
        () => false,
      ),
    printMedia: (on) =>
      tab.emulateMediaType(on ? 'print' : null).then(
        () => true,
        () => false,
      ),
    // The pages of the page printed on `format` paper, or null where the
    // engine cannot print here.
    printedPages: (format) => tab.pdf({format}).then(pagesOf, () => null),
    errors: async () => errors,
    requests: async () => requests,
    close: () => tab.close(),
  };
}

async function puppeteerBrowser(launched, cleanUp) {
  return {
    newTab: async () => puppeteerTab(await launched.newPage()),
    async close() {
      await launched.close();
      cleanUp();
    },
  };
}

function freePort() {
  return new Promise((resolve) => {
    const server = createServer();
    server.listen(0, '127.0.0.1', () => {
      const {port} = server.address();
      server.close(() => resolve(port));
    });
  });
}

// Xvfb on a display it picks itself, told back through a pipe.
function startDisplay() {
  const xvfb = spawn(
    'Xvfb',
    ['-displayfd', '3', '-screen', '0', '1280x1024x24', '-nolisten', 'tcp'],
    {stdio: ['ignore', 'ignore', 'ignore', 'pipe']},
  );
  return new Promise((resolve, reject) => {
    let told = '';
    xvfb.stdio[3].on('data', (data) => {
      told += data;
      if (told.includes('\n')) {
        resolve({process: xvfb, name: `:${told.trim()}`});
      }
    });
    xvfb.on('exit', () => reject(new Error('Xvfb did not start')));
  });
}

// WebKit's MiniBrowser through WebKitWebDriver, in plain W3C WebDriver.
// In full-screen mode its window takes any size, a phone's included.
async function webkitBrowser() {
  const display = await startDisplay();
  const port = await freePort();
  const driver = spawn(PROGRAMS.webkit, [`--port=${port}`], {
    stdio: 'ignore',
    env: {...process.env, DISPLAY: display.name},
  });
  const base = `http://127.0.0.1:${port}`;
  async function call(method, path, body) {
    const response = await fetch(base + path, {
      method,
      headers: {'content-type': 'application/json'},
      body: body === undefined ? undefined : JSON.stringify(body),
    });
    const {value} = await response.json();
    if (value && value.error) {
      throw new Error(`WebDriver ${path}: ${value.error}: ${value.message}`);
    }
    return value;
  }
  let session;
  for (let tries = 0; !session; tries++) {
    try {
      session = await call('POST', '/session', {
        capabilities: {
          alwaysMatch: {
            'webkitgtk:browserOptions': {
              binary: MINIBROWSER,
              args: ['--automation', '--full-screen'],
            },
          },
        },
      });
    } catch (error) {
      if (tries === 50) {
        throw error;
      }
      await sleep(100); // the driver is still starting
    }
  }
  const at = `/session/${session.sessionId}`;
  // A function, or the body of one, run in the page.
  const evaluate = (code, ...args) => {
    const body = typeof code === 'function' ? code : `function () { ${code} }`;
    const script = `return (${body}).apply(null, arguments);`;
    return call('POST', `${at}/execute/sync`, {script, args});
  };
  const find = async (selector) =>
    Object.values(await call('POST', `${at}/element`, {using: 'css selector', value: selector}))[0];
  let field; // the answer field of the page last opened
  const keys = (text) => call('POST', `${at}/element/${field}/value`, {text});
  // Keys, as key-down and key-up actions, to whatever has the focus.
  const keyActions = (actions) =>
    call('POST', `${at}/actions`, {actions: [{type: 'key', id: 'keyboard', actions}]});
  const down = (value) => ({type: 'keyDown', value});
  const up = (value) => ({type: 'keyUp', value});
  const focusedKeys = (characters) =>
    keyActions([...characters].flatMap((value) => [down(value), up(value)]));
  // Errors the page just opened meets from here on; WebDriver tells of
  // none itself.
  async function opened() {
    await evaluate(() => {
      window.pageErrors = [];
      window.addEventListener('error', (event) => window.pageErrors.push(event.message));
      window.addEventListener('unhandledrejection', (event) =>
        window.pageErrors.push(String(event.reason)),
      );
    });
    field = await find('#answer');
  }
  const tab = {
    size: (viewport) =>
      call('POST', `${at}/window/rect`, {
        x: 0,
        y: 0,
        width: viewport.width,
        height: viewport.height,
      }),
    goto: (url) => call('POST', `${at}/url`, {url}).then(opened),
    reload: () => call('POST', `${at}/refresh`, {}).then(opened),
    evaluate,
    type: async (text) => text && keys(text),
    keys: focusedKeys,
    press: (key) => focusedKeys({Enter: '\uE007', Backspace: '\uE003'}[key] || key),
    endInputKeys(letter, shift = false) {
      const held = shift ? ['\uE009', '\uE008'] : ['\uE009']; // Control, Shift
      return keyActions([...held.map(down), down(letter), up(letter), ...held.reverse().map(up)]);
    },
    async click(selector) {
      await call('POST', `${at}/element/${await find(selector)}/click`, {});
    },
    async screenshot(path) {
      writeFileSync(path, await tab.viewShot());
    },
    async viewShot() {
      await sleep(1000); // the driver's picture can lag the page
      return Buffer.from(await call('GET', `${at}/screenshot`), 'base64');
    },
    errors: () => evaluate(() => window.pageErrors || []),
    requests: () =>
      evaluate(() => performance.getEntriesByType('resource').map((entry) => entry.name)),
    // Plain WebDriver has no way to either.
    colorScheme: async () => false,
    printMedia: async () => false,
    printedPages: async () => null,
    close: async () => {},
  };
  return {
    newTab: async () => tab, // one window, reused
    async close() {
      await call('DELETE', at).catch(() => {});
      driver.kill();
      display.process.kill();
    },
  };
}

// The engine named, or null where it is not installed.
export async function launch(engine) {
  if (!existsSync(PROGRAMS[engine])) {
    return null;
  }
  if (engine === 'webkit') {
    return webkitBrowser();
  }
  const profile = mkdtempSync(join(tmpdir(), `${engine}-`));
  const cleanUp = () => rmSync(profile, {recursive: true, force: true});
  const launched =
    engine === 'chromium'
      ? await launchChromium(profile)
      : await puppeteer.launch({
          browser: 'firefox',
          executablePath: PROGRAMS.firefox,
          headless: true,
          userDataDir: profile,
        });
  return puppeteerBrowser(launched, cleanUp);
}

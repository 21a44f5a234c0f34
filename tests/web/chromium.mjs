// Debian's Chromium, headless, through the puppeteer-core that npm ci puts
// beside this file: for the page's test and for its benchmark.
import puppeteer from 'puppeteer-core';

export const CHROMIUM = '/usr/bin/chromium';

// With a profile of its own in `userDataDir`. Chromium reaches for Google's
// services at start, which a closed network refuses; none of that is the
// page's doing.
export function launchChromium(userDataDir) {
  return puppeteer.launch({
    executablePath: CHROMIUM,
    headless: true,
    userDataDir,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update',
           '--disable-sync', '--disable-default-apps'],
  });
}

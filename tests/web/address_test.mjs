// The page's address as a keeper of the answers sent, under node.
import assert from 'node:assert/strict';
import {describe, it} from 'node:test';

import * as address from '../../web/page_address.js';

const MOST_BYTES = 4096;

// Lines as a person might send them, and as a link might carry them.
function randomSent(random) {
  const alphabet = [...'-. \t\n/+%&=#?ü€😀', '4', '30', '1e3', '%2F', '&end', '<b>'];
  let sent = '';
  for (let parts = Math.floor(random() * 12); parts > 0; parts--) {
    sent += alphabet[Math.floor(random() * alphabet.length)];
  }
  return sent;
}

// A small generator of its own, so that every run tries the same texts.
function seeded(seed) {
  let state = seed;
  return () => {
    state = (state * 1103515245 + 12345) % 2147483648;
    return state / 2147483648;
  };
}

describe("the answers in the page's address", () => {
  it('keeps blanks readable and lines apart', () => {
    assert.equal(address.fragmentOf('4 30 10\n', false), '#answers=4+30+10');
    assert.equal(address.fragmentOf('4\n30\n10\nq\n', true), '#answers=4/30/10/q&end');
  });

  it('gives back every text sent, ended or not, and each line as it was sent', () => {
    const random = seeded(41);
    for (let tries = 0; tries < 20000; tries++) {
      const ended = random() < 0.5;
      // Enter ends each line; only End input sends text with no Enter after it.
      const lines = randomSent(random).replace(/[^\n]$/, '$&\n');
      const sent = lines + (ended ? randomSent(random).replace(/\n/g, '') : '');
      const fragment = address.fragmentOf(sent, ended);
      assert.deepEqual(
        fragment === '' ? null : address.answersIn(fragment),
        sent === '' && !ended ? null : {sent, ended},
        JSON.stringify(fragment),
      );
      assert.deepEqual(address.linesOf(sent).join(''), sent);
      assert.ok(
        address
          .linesOf(sent)
          .every((line, at, lines) => line.endsWith('\n') || at === lines.length - 1),
      );
    }
  });

  it('keeps no more than a link may hold', () => {
    assert.notEqual(address.fragmentOf(`${'1'.repeat(MOST_BYTES - 1)}\n`, true), '');
    assert.equal(address.fragmentOf(`${'1'.repeat(MOST_BYTES)}\n`, false), '');
  });

  it('leaves fragments of others alone, and refuses answers it cannot take', () => {
    for (const fragment of ['', '#', '#report', '#answer=4', '#ending']) {
      assert.equal(address.answersIn(fragment), null, fragment);
    }
    for (const fragment of [
      '#answers',
      '#answers=%E0',
      '#answers=4&x',
      '#end&answers=4',
      '#answers=4&end&end',
      `#answers=${'1'.repeat(MOST_BYTES + 1)}`,
      `#answers=${'%31'.repeat(MOST_BYTES)}`,
      `#end=${'%'.repeat(1 << 20)}`,
    ]) {
      assert.ok(address.answersIn(fragment).refused, fragment.slice(0, 40));
    }
  });
});

// The answers sent so far, kept in the page's address, so that a reload, a
// tab that a phone put away, a bookmark or a link sent to someone opens
// the same run. They live in the fragment, which no request carries: each
// line that Enter sent, its blanks as "+", lines apart by "/", the rest as
// a URI component; then "end", with any text that End input sent, where
// the input was ended. "#answers=4+30+10/q" is 4 30 10, Enter, q, Enter.
// Pure, so that a test under node checks it.
const ANSWERS = 'answers';
const END = 'end';
// Of answers, as bytes: a link past that is refused unread, so that no
// address can make the page work for long.
const MOST_BYTES = 4096;
const MOST_ESCAPED = 3 * MOST_BYTES + 64; // every byte as %XX, the names

// One line: a blank as "+", and "/" as it separates lines, escaped. A
// line that the page cannot encode as UTF-8 (a lone surrogate) is sent
// to the program with U+FFFD in its place, and kept so.
function escaped(text) {
  const wellFormed = new TextDecoder().decode(new TextEncoder().encode(text));
  return encodeURIComponent(wellFormed).replace(/%20/g, '+');
}

function overLimit(text) {
  return new TextEncoder().encode(text).length > MOST_BYTES;
}

function unescaped(text) {
  return decodeURIComponent(text.replace(/\+/g, ' '));
}

// The fragment, "#" included, for the text sent so far, whether ended;
// '' for nothing sent, or for more than a link may hold.
function fragmentOf(sent, ended) {
  if (overLimit(sent)) {
    return '';
  }
  const lines = sent.split('\n');
  const last = lines.pop(); // sent without Enter, by End input alone
  const parts = [];
  if (lines.length > 0) {
    parts.push(`${ANSWERS}=${lines.map(escaped).join('/')}`);
  }
  if (ended) {
    parts.push(last === '' ? END : `${END}=${escaped(last)}`);
  }
  return parts.length > 0 ? `#${parts.join('&')}` : '';
}

// What `fragment` (location.hash) holds: {sent, ended}, the text sent and
// whether the input was ended; null where it holds no answers, as for
// any fragment of another's; {refused} with the reason where it holds
// answers that cannot be taken.
function answersIn(fragment) {
  const parts = fragment
    .replace(/^#/, '')
    .split('&')
    .map((part) => part.split(/=(.*)/s));
  const names = parts.map(([name]) => name).join('&');
  if (![ANSWERS, END].includes(parts[0][0])) {
    return null;
  }
  const tooLong = {
    refused: `they are over the ${MOST_BYTES / 1024} KiB that the page takes from an address`,
  };
  if (fragment.length > MOST_ESCAPED) {
    return tooLong;
  }
  const unread = {refused: 'they are not in the form that the page writes'};
  if (
    ![ANSWERS, END, `${ANSWERS}&${END}`].includes(names) ||
    (parts[0].length === 1 && names !== END)
  ) {
    return unread;
  }
  let sent = '';
  try {
    for (const [name, value = ''] of parts) {
      sent +=
        name === ANSWERS
          ? value
              .split('/')
              .map((line) => `${unescaped(line)}\n`)
              .join('')
          : unescaped(value);
    }
  } catch {
    return unread;
  }
  return overLimit(sent) ? tooLong : {sent, ended: names.endsWith(END)};
}

// Each line as it was sent: Enter ends one, and what follows the last
// was sent by End input.
function linesOf(sent) {
  return sent.match(/[^\n]*\n|[^\n]+$/g) || [];
}

export {fragmentOf, answersIn, linesOf};

// The answers sent so far, in the page's address, which a reload or a
// link then opens as the same run; the sentence that says so after a
// report, and the Share button where the platform has a share sheet.
import * as pageAddress from './page_address.js';

const note = document.getElementById('address-note');
const share = document.getElementById('share');
const RETRY = 1000; // milliseconds before a refused address is asked again
let addressToKeep = null; // an address the engine refused for now

// Replaced, not pushed, so that Back leaves the page.
function keepInAddress(sent, ended) {
  const waiting = addressToKeep !== null;
  addressToKeep = location.href.split('#')[0] + pageAddress.fragmentOf(sent, ended);
  if (!waiting) {
    replaceAddress();
  }
}

// An engine may refuse calls that come too often (WebKit: over 100 in
// 10 s), as a page's tests make them: the latest address is then asked
// for again later, and the page marks that its address is behind.
function replaceAddress() {
  try {
    if (addressToKeep !== location.href) {
      history.replaceState(history.state, '', addressToKeep);
    }
    addressToKeep = null;
    delete document.body.dataset.addressBehind;
  } catch {
    document.body.dataset.addressBehind = 'yes';
    setTimeout(replaceAddress, RETRY);
  }
}

// The answers that the page's address holds, as a reload or a link
// opens it; where they cannot be taken, the page says why and opens as
// if there were none.
function answersKept() {
  const kept = pageAddress.answersIn(location.hash);
  if (kept && kept.refused) {
    note.textContent = `The answers in this page's address were not taken: ${kept.refused}.`;
  }
  return kept && !kept.refused ? kept : {sent: '', ended: false};
}

// Once there is a report, and the address holds the answers that made it.
function offerAddress() {
  const kept = pageAddress.answersIn(location.hash);
  if (kept && !kept.refused) {
    note.textContent =
      "This page's address now holds these answers: " +
      'bookmark it, or send it, to open this report again.';
    share.hidden = typeof navigator.share !== 'function';
  }
}

function forgetAddressNote() {
  note.textContent = '';
  share.hidden = true;
}

// Another address of this page, as a bookmark or a link opened in this
// tab, is its own run, as if opened afresh.
function watchAddress() {
  share.addEventListener('click', () => {
    navigator.share({title: document.title, url: location.href}).catch(() => {});
  });
  window.addEventListener('hashchange', () => location.reload());
}

export {keepInAddress, answersKept, offerAddress, forgetAddressNote, watchAddress};

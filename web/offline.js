// Served over https (or http on this computer), the page can be installed
// as an app of its own and keeps working offline, through its manifest and
// its service worker, both beside it. Opened from a file it is one file
// that needs nothing else, and asks for neither. When a new release's
// worker takes over from the one that showed the page, the document gets
// the event "release", and the page opens the release at once if the
// person has not begun, or else says that it opens at the next visit.

// `begun` tells whether the person has begun a run.
function offerOffline(begun) {
  document.addEventListener('release', () => newRelease(begun()));
  if (location.protocol !== 'https:' && location.protocol !== 'http:') {
    return;
  }
  [
    ['manifest', 'manifest.webmanifest'],
    ['icon', 'icon-192.png'],
    ['apple-touch-icon', 'icon-192.png'],
  ].forEach(([rel, href]) => {
    const made = document.createElement('link');
    made.rel = rel;
    made.href = href;
    document.head.appendChild(made);
  });
  // Browsers offer service workers only where the page is secure.
  if (!('serviceWorker' in navigator)) {
    return;
  }
  const workers = navigator.serviceWorker;
  // A page that no worker showed is a first visit: its worker taking
  // over is no release.
  if (workers.controller) {
    workers.addEventListener(
      'controllerchange',
      () => document.dispatchEvent(new Event('release')),
      {once: true},
    );
  }
  // With no network, or a server that fails, the worker there already
  // goes on serving its copy.
  workers.register('service_worker.js').catch(() => {});
}

function newRelease(begun) {
  if (!begun) {
    document.getElementById('status').textContent =
      'A new release of the calculator is here: opening it.';
    location.reload();
  } else {
    document.getElementById('release').textContent =
      'A new release of the calculator is ready: it opens the next time this page is opened.';
  }
}

export {offerOffline};

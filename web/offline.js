// Served over https (or http on this computer), the page can be installed
// as an app of its own and keeps working offline, through its manifest and
// its service worker, both beside it. Opened from a file it is one file
// that needs nothing else, and asks for neither.
function offerInstallAndOffline() {
  if (location.protocol !== 'https:' && location.protocol !== 'http:') {
    return;
  }
  [['manifest', 'manifest.webmanifest'], ['icon', 'icon-192.png'],
   ['apple-touch-icon', 'icon-192.png']]
    .forEach(function (link) {
      var made = document.createElement('link');
      made.rel = link[0];
      made.href = link[1];
      document.head.appendChild(made);
    });
  // Browsers offer service workers only where the page is secure.
  if ('serviceWorker' in navigator) {
    navigator.serviceWorker.register('service_worker.js');
  }
}

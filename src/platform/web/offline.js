// SPDX-FileCopyrightText: 2026 The Smearwell developers
// SPDX-License-Identifier: Zlib

// Makes the page an app that starts without a network and can be installed: names its manifest and
// registers the service worker that keeps its files (service-worker.js). Browsers allow service
// workers only in a secure context (https, or this machine's own addresses); elsewhere the page
// simply runs online. A page opened as a file does not start at all, and says so.
(function () {
  if (!/^https?:$/.test(location.protocol)) return;
  var manifest = document.createElement('link');
  manifest.rel = 'manifest';
  manifest.href = 'manifest.webmanifest';
  document.head.appendChild(manifest);
  if ('serviceWorker' in navigator && window.isSecureContext) {
    navigator.serviceWorker.register('service-worker.js').catch(function (error) {
      console.warn('Smearwell will not start offline: ' + error);
    });
  }
})();

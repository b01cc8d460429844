// The page's service worker: keeps every file of the page, so that a page opened once opens
// again without the network and can be installed. The cache's name is a digest of those
// files (written in by the build): a changed page is fetched and kept as a whole, because
// the module's script and its WebAssembly only work as a pair.
'use strict';
const CACHE = 'vtq-@VERSION@';
const FILES = ['@FILE_LIST@'];

self.addEventListener('install', (event) => {
  // Asked again of the server ("no-cache"), which answers 304 for a file the page has just
  // fetched: never an older copy from the browser's cache under the new digest.
  const requests = FILES.map((file) => new Request(file, {cache: 'no-cache'}));
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(requests)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((n) => n.startsWith('vtq-') && n !== CACHE).map((n) => caches.delete(n))))
    .then(() => self.clients.claim()));
});

// The kept copy first (the page's query, a test's fixed date, does not change the file; the
// folder's address is its index.html); anything not kept goes to the network.
self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(new URL(event.request.url).pathname.endsWith('/') ? 'index.html' : event.request,
      {ignoreSearch: true}))
    .then((kept) => kept || fetch(event.request)));
});

// The page's service worker: keeps every file of the page, so that a page opened once opens
// again without the network and can be installed. The cache's name is a digest of those
// files (written in by the build): a changed page is fetched and kept as a whole, because
// the module's script and its WebAssembly only work as a pair.
'use strict';
const CACHE = 'vtq-@VERSION@';
const FILES = ['@FILE_LIST@'];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES)).then(() => self.skipWaiting()));
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

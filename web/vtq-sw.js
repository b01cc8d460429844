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
  // A first visit's worker takes over at once; a new version waits until the page that
  // runs the old one says the user chose to reload (the old page keeps its own files till then).
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(requests))
    .then(() => self.registration.active || self.skipWaiting()));
});

self.addEventListener('message', (event) => {
  if (event.data === 'reload') self.skipWaiting();
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((n) => n.startsWith('vtq-') && n !== CACHE).map((n) => caches.delete(n))))
    .then(() => self.clients.claim()));
});

// The kept copy first (the page's query, a link's design, does not change the file; a
// folder's address is its own index.html: the site's, or the help's); anything not kept
// goes to the network.
self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  const url = new URL(event.request.url);
  if (url.pathname.endsWith('/')) url.pathname += 'index.html';
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(url.href, {ignoreSearch: true}))
    .then((kept) => kept || fetch(event.request)));
});

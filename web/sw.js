// The page's service worker: it keeps the page, its manifest and its icons
// under a cache named after their content, serves them from it first, and
// deletes older caches once it is active. It asks for nothing else.
const kCache = "@CACHE@";
const kFiles = @FILES@;

self.addEventListener("install", (event) => {
  event.waitUntil(caches.open(kCache)
    .then((cache) => cache.addAll(kFiles.map((file) => new Request(file, { cache: "reload" }))))
    .then(() => self.skipWaiting()));
});

self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name !== kCache).map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

self.addEventListener("fetch", (event) => {
  const url = new URL(event.request.url);
  if (event.request.method !== "GET" || url.origin !== location.origin) return;
  // The scope itself is the page.
  const file = url.pathname.endsWith("/") ? kFiles[0] : url.pathname.split("/").pop();
  if (!kFiles.includes(file)) return;
  event.respondWith(caches.open(kCache).then((cache) => cache.match(file))
    .then((kept) => kept ?? fetch(event.request)));
});

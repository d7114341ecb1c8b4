// The page as an app, where it is served over http(s): its manifest, and a
// service worker that keeps it for offline use. Opened as a file, from a
// USB stick, it is a page alone, and asks for neither.

export function become_an_app() {
  if (!/^https?:$/.test(location.protocol)) return;
  const manifest = document.createElement("link");
  manifest.rel = "manifest";
  manifest.href = "manifest.webmanifest";
  document.head.append(manifest);
  navigator.serviceWorker?.register("sw.js").catch((error) => console.error(error));
}

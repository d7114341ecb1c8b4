// The page as an app, where it is served over http(s): its manifest, and a
// service worker that keeps it for offline use. Opened as a file, from a
// USB stick, it is a page alone, and asks for neither.

export function become_an_app() {
  if (!/^https?:$/.test(location.protocol)) return;
  const manifest = document.createElement("link");
  manifest.rel = "manifest";
  manifest.href = "manifest.webmanifest";
  document.head.append(manifest);
  // The worker's address is the one script address the page makes: where
  // Trusted Types are enforced, it comes from the page's one policy, which
  // makes no other.
  const policy = globalThis.trustedTypes?.createPolicy("molagirlik", {
    createScriptURL: (url) => {
      if (url !== "sw.js") throw new TypeError(`not the page's worker: ${url}`);
      return url;
    },
  });
  navigator.serviceWorker?.register(policy ? policy.createScriptURL("sw.js") : "sw.js")
    .catch((error) => console.error(error));
}

// How a page's script is bundled: one minified ES module, its packages
// taken from NODE_MODULES. The page is built so, and the bare terminal page
// its start is weighed against, so that they differ in what they run alone.
// Returns the script's text.
export async function bundle(esbuild, node_modules, input) {
  const built = await esbuild.build({
    ...input,
    nodePaths: [node_modules],
    bundle: true,
    format: "esm",
    target: "es2022",
    minify: true,
    write: false,
    logLevel: "silent",
  });
  return built.outputFiles[0].text.trimEnd();
}

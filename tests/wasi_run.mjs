// Runs a WASI program under node's own WASI, on this process's standard
// streams, and exits with its status.
//   node --no-warnings tests/wasi_run.mjs PROGRAM.wasm
import { readFile } from "node:fs/promises";
import { WASI } from "node:wasi";

const wasi = new WASI({ version: "preview1", args: [process.argv[2]],
                        stdin: 0, stdout: 1, stderr: 2, returnOnExit: true });
const module = await WebAssembly.compile(await readFile(process.argv[2]));
// wasiImport, not getImportObject(): Debian 12's node 18 has only the former.
const instance = await WebAssembly.instantiate(
  module, { wasi_snapshot_preview1: wasi.wasiImport });
process.exitCode = wasi.start(instance);

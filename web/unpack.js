// The program as the page carries it: its DEFLATE data in base64, a third
// of the program's size, unpacked and compiled by the browser on threads
// of its own.

import { inflate } from "./inflate.js";

// The compiled module, from the base64 text.
export async function compile(base64) {
  return WebAssembly.compile(await unpack(decode(base64)));
}

// DEFLATE's data unpacked: by the browser where it can, which takes no
// time from the page; by inflate.js where it cannot.
async function unpack(packed) {
  let stream;
  try {
    stream = new DecompressionStream("deflate-raw");
  } catch {
    return inflate(packed);
  }
  return new Uint8Array(await new Response(new Blob([packed]).stream().pipeThrough(stream)).arrayBuffer());
}

// Base64 to bytes, a loop rather than a call a character.
function decode(base64) {
  if (Uint8Array.fromBase64) return Uint8Array.fromBase64(base64);
  const text = atob(base64);
  const bytes = new Uint8Array(text.length);
  for (let i = 0; i < text.length; ++i) bytes[i] = text.charCodeAt(i);
  return bytes;
}

// DEFLATE's data (RFC 1951), unpacked: for the browsers that have no
// DecompressionStream (Safari before 16.4, Firefox before 113). Decodes
// each Huffman code a bit at a time, which is slow but small; the page's
// program is unpacked once.

const kLengthBase = [3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27, 31, 35, 43, 51, 59,
  67, 83, 99, 115, 131, 163, 195, 227, 258];
const kLengthExtra = [0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4,
  5, 5, 5, 5, 0];
const kDistanceBase = [1, 2, 3, 4, 5, 7, 9, 13, 17, 25, 33, 49, 65, 97, 129, 193, 257, 385,
  513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577];
const kDistanceExtra = [0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10,
  10, 11, 11, 12, 12, 13, 13];
// The order in which a dynamic block gives its code lengths' code lengths.
const kOrder = [16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15];

// A canonical Huffman code from each symbol's code length: how many codes
// each length has, and the symbols in the order of their codes.
function huffman(lengths) {
  const counts = new Uint16Array(16);
  for (const length of lengths) ++counts[length];
  counts[0] = 0;
  const next = new Uint16Array(16);
  for (let length = 1; length < 16; ++length) next[length] = next[length - 1] + counts[length - 1];
  const symbols = new Uint16Array(lengths.length);
  lengths.forEach((length, symbol) => {
    if (length) symbols[next[length]++] = symbol;
  });
  return { counts, symbols };
}

const fixed_lengths = huffman(Array.from({ length: 288 },
  (_, symbol) => (symbol < 144 ? 8 : symbol < 256 ? 9 : symbol < 280 ? 7 : 8)));
const fixed_distances = huffman(new Array(30).fill(5));

export function inflate(data) {
  let out = new Uint8Array(4 * data.length + 1024);
  let size = 0;
  const put = (byte) => {
    if (size === out.length) {
      const larger = new Uint8Array(2 * out.length);
      larger.set(out);
      out = larger;
    }
    out[size++] = byte;
  };
  let at = 0;
  let held = 0;  // bits taken from data but not yet used, in `bits`
  let bits = 0;
  const fail = (why) => {
    throw new Error(`inflate: ${why}`);
  };
  const take = (count) => {
    while (held < count) {
      if (at >= data.length) fail("the data ends early");
      bits |= data[at++] << held;
      held += 8;
    }
    const value = bits & ((1 << count) - 1);
    bits >>>= count;
    held -= count;
    return value;
  };
  const symbol = ({ counts, symbols }) => {
    let code = 0;
    let first = 0;
    let index = 0;
    for (let length = 1; length < 16; ++length) {
      code |= take(1);
      if (code - counts[length] < first) return symbols[index + code - first];
      index += counts[length];
      first = (first + counts[length]) << 1;
      code <<= 1;
    }
    return fail("a code that was never given");
  };
  let last = 0;
  while (!last) {
    last = take(1);
    const type = take(2);
    if (type === 0) {
      // Stored: from the next whole byte, its length and that length's complement.
      held = bits = 0;
      if (at + 4 > data.length) fail("the data ends early");
      const length = data[at] | (data[at + 1] << 8);
      if (length !== (~(data[at + 2] | (data[at + 3] << 8)) & 0xffff)) fail("a stored length garbled");
      at += 4;
      if (at + length > data.length) fail("the data ends early");
      for (let i = 0; i < length; ++i) put(data[at++]);
      continue;
    }
    let lengths = fixed_lengths;
    let distances = fixed_distances;
    if (type === 2) {
      const literals = take(5) + 257;
      const count = literals + take(5) + 1;
      const code_lengths = new Array(19).fill(0);
      for (let i = 0, n = take(4) + 4; i < n; ++i) code_lengths[kOrder[i]] = take(3);
      const code = huffman(code_lengths);
      const all = [];
      while (all.length < count) {
        const s = symbol(code);
        if (s < 16) all.push(s);
        else if (s === 16 && all.length === 0) fail("a repeat with nothing before it");
        else {
          const [value, times] = s === 16 ? [all.at(-1), 3 + take(2)]
            : s === 17 ? [0, 3 + take(3)] : [0, 11 + take(7)];
          for (let i = 0; i < times; ++i) all.push(value);
        }
      }
      if (all.length > count) fail("code lengths beyond their count");
      lengths = huffman(all.slice(0, literals));
      distances = huffman(all.slice(literals));
    } else if (type !== 1) {
      fail("a block of an unknown type");
    }
    for (let s = symbol(lengths); s !== 256; s = symbol(lengths)) {
      if (s < 256) {
        put(s);
        continue;
      }
      if (s > 285) fail("a length that does not exist");
      const length = kLengthBase[s - 257] + take(kLengthExtra[s - 257]);
      const d = symbol(distances);
      if (d > 29) fail("a distance that does not exist");
      const distance = kDistanceBase[d] + take(kDistanceExtra[d]);
      if (distance > size) fail("a distance before the start");
      for (let i = 0; i < length; ++i) put(out[size - distance]);
    }
  }
  return out.subarray(0, size);
}

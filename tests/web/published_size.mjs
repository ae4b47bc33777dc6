// The published folder of the sample game stays small enough to download on a slow line.
// Usage: node published_size.mjs SITE_DIR
import { publishedSize } from './marvo_node.mjs';

const limitKiB = 1024;
const { raw, gzip } = publishedSize(process.argv[2]);
console.log(`published folder: ${raw} bytes, ${gzip} bytes gzip-compressed (limit ${limitKiB} KiB)`);
if (raw / 1024 > limitKiB) {
  console.log('FAIL published folder over the limit');
  process.exit(1);
}

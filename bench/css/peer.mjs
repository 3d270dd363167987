// Runs one of the CSS benchmark's npm peers on a style sheet file and prints what bench_css reads:
//   node peer.mjs lightningcss|css-tree <file> <iterations>
// Output, one item a line: "rules N" (style rules the peer found, counted once outside the timing),
// "bytes N" (the file's size), then "seconds S cpu C" for each timed iteration: the wall time and
// the CPU time of the whole process (its helper threads included, as the garbage collector's).
// Only the parse itself is timed, inside this process: starting node and loading the modules are
// not. Failures go to stderr with a non-zero exit status.
import { readFileSync } from 'node:fs';
import { performance } from 'node:perf_hooks';

function fail(message) {
  process.stderr.write(`peer.mjs: ${message}\n`);
  process.exit(1);
}

const [peer, file, iterationsText] = process.argv.slice(2);
const iterations = Number.parseInt(iterationsText ?? '', 10);
if (!peer || !file || !(iterations > 0))
  fail('usage: node peer.mjs lightningcss|css-tree <file> <iterations>');

const bytes = readFileSync(file);

// lightningcss takes the UTF-8 bytes and returns the printed sheet, which it must produce every
// time (no targets, no minification). The rules are counted once by a visitor, untimed.
async function lightningcss() {
  const { transform } = await import('lightningcss');
  let rules = 0;
  const counted = transform({ filename: file, code: bytes, minify: false,
                              visitor: { Rule: { style() { ++rules; } } } });
  if (counted.warnings.length > 0)
    fail(`lightningcss warned: ${counted.warnings[0].message}`);
  // The printed sheet drops comments and re-indents, but keeps every rule and declaration.
  if (counted.code.length < bytes.length / 2)
    fail(`lightningcss printed ${counted.code.length} bytes of ${bytes.length}`);
  return {
    rules,
    parse: () => {
      const result = transform({ filename: file, code: bytes, minify: false });
      return result.code.length;
    },
  };
}

// css-tree takes a JS string, so the bytes are decoded once here, outside the timing; its parse
// then builds the whole tree (values included). The rules and any parse errors are counted once.
async function cssTree() {
  const { parse, walk } = await import('css-tree');
  const text = bytes.toString('utf8');
  const errors = [];
  const tree = parse(text, { onParseError: (error) => errors.push(error) });
  if (errors.length > 0)
    fail(`css-tree reported ${errors.length} errors, the first: ${errors[0].formattedMessage ?? errors[0].message}`);
  let rules = 0;
  walk(tree, { visit: 'Rule', enter() { ++rules; } });
  return { rules, parse: () => parse(text).children.size };
}

const peers = { lightningcss, 'css-tree': cssTree };
if (!peers[peer])
  fail(`unknown peer ${peer}; expected one of ${Object.keys(peers).join(', ')}`);

let run;
try {
  run = await peers[peer]();
} catch (error) {
  fail(`${peer} failed: ${error.message ?? error}`);
}
const lines = [`rules ${run.rules}`, `bytes ${bytes.length}`];
// One untimed parse first, as the compiled code of the library's is warm from its first run.
let sink = run.parse();
for (let i = 0; i < iterations; ++i) {
  const cpu = process.cpuUsage();
  const start = performance.now();
  sink += run.parse();
  const seconds = (performance.now() - start) / 1000;
  const used = process.cpuUsage(cpu);
  lines.push(`seconds ${seconds.toFixed(9)} cpu ${((used.user + used.system) / 1e6).toFixed(9)}`);
}
if (sink <= 0)
  fail(`${peer} produced nothing`);
process.stdout.write(lines.join('\n') + '\n');

// Runs meshoptimizer's simplifier (the npm package, 1.0 or later) for the
// quality report: node simplify_meshopt.mjs <package folder> <mesh file> <result file>.
// Mesh file (little-endian): int32 vertices, int32 triangles, float32 xyz per
// vertex, uint32 indices, int32 jobs, then per job int32 target index count
// and float32 absolute target error. Result file per job: int32 index count,
// uint32 indices, float32 meshoptimizer's error, float64 milliseconds.
import { readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';

const [packageDir, meshFile, resultFile] = process.argv.slice(2);
const { MeshoptSimplifier } = await import(pathToFileURL(join(packageDir, 'index.js')).href);
await MeshoptSimplifier.ready;

const bytes = readFileSync(meshFile);
const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
let at = 0;
const int = () => { const v = view.getInt32(at, true); at += 4; return v; };
const vertices = int(), triangles = int();
const positions = new Float32Array(vertices * 3);
for (let i = 0; i < positions.length; ++i) { positions[i] = view.getFloat32(at, true); at += 4; }
const indices = new Uint32Array(triangles * 3);
for (let i = 0; i < indices.length; ++i) { indices[i] = view.getUint32(at, true); at += 4; }
const jobs = int();
const parts = [];
for (let j = 0; j < jobs; ++j) {
  const target = int();
  const error = view.getFloat32(at, true); at += 4;
  const start = process.hrtime.bigint();
  const [out, reached] = MeshoptSimplifier.simplify(indices, positions, 3, target, error,
                                                     ['Permissive', 'ErrorAbsolute', 'Prune']);
  const ms = Number(process.hrtime.bigint() - start) / 1e6;
  const part = Buffer.alloc(4 + out.length * 4 + 4 + 8);
  part.writeInt32LE(out.length, 0);
  for (let i = 0; i < out.length; ++i) part.writeUInt32LE(out[i], 4 + i * 4);
  part.writeFloatLE(reached, 4 + out.length * 4);
  part.writeDoubleLE(ms, 8 + out.length * 4);
  parts.push(part);
}
writeFileSync(resultFile, Buffer.concat(parts));

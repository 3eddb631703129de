// Validates .glb files with the Khronos glTF validator and exits non-zero
// when any of them has an error; warnings and notes are printed.
//     node validate.mjs NODE_MODULES FILE.glb...
// NODE_MODULES is the folder npm installed the validator into.
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { join } from "node:path";

const [modules, ...files] = process.argv.slice(2);
const validator = createRequire(import.meta.url)(join(modules, "gltf-validator"));
let failed = false;
for (const file of files) {
  const report = await validator.validateBytes(new Uint8Array(readFileSync(file)), {
    uri: file,
    maxIssues: 100,
    // A model is one file: nothing outside it may be asked for.
    externalResourceFunction: (uri) => Promise.reject(new Error(`${file} asks for ${uri}`)),
  });
  const issues = report.issues;
  console.log(`${file}: ${issues.numErrors} errors, ${issues.numWarnings} warnings, ` +
              `${issues.numInfos} infos, ${issues.numHints} hints (gltf-validator ${report.validatorVersion})`);
  for (const message of issues.messages)
    console.log(`  ${["error", "warning", "info", "hint"][message.severity]} ${message.code} ` +
                `${message.pointer ?? ""}: ${message.message}`);
  failed ||= issues.numErrors > 0;
}
process.exit(failed ? 1 : 0);

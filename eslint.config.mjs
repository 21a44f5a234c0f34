// ESLint's recommended rules for the project's JavaScript, each file with
// the globals of where it runs.
import js from '@eslint/js';
import globals from 'globals';

export default [
  {ignores: ['build/', '**/node_modules/']},
  js.configs.recommended,
  // The page's modules; the program's function comes in a later script.
  {
    files: ['web/*.js'],
    languageOptions: {globals: {...globals.browser, runCalculator: 'readonly'}},
  },
  // What emscripten links into the program, with its runtime's names.
  {
    files: ['web/stdio.js', 'web/instantiate.js'],
    languageOptions: {
      sourceType: 'script',
      globals: {
        ...globals.browser,
        ...globals.node,
        ...Object.fromEntries(
          [
            'Asyncify',
            'ENVIRONMENT_IS_NODE',
            'ERRNO_CODES',
            'ExitStatus',
            'HEAPU32',
            'HEAPU8',
            'LibraryManager',
            'Module',
            'abort',
            'dataURIPrefix',
            'err',
            'intArrayFromBase64',
            'mergeInto',
            'waterStdio',
            'wasmBinaryFile',
          ].map((name) => [name, 'readonly']),
        ),
      },
    },
  },
  // Node's scripts, and the page code that the tests run in the page.
  {files: ['**/*.mjs'], languageOptions: {globals: {...globals.node, ...globals.browser}}},
];

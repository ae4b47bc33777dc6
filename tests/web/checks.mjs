// A tally of named checks for the Node test scripts, closing with "N passed, M failed".
export function checks(suite) {
  let passed = 0;
  let failed = 0;
  return {
    check(ok, what, detail = '') {
      if (ok) {
        ++passed;
        return;
      }
      ++failed;
      console.log(`FAIL ${what}${detail ? `\n  ${detail}` : ''}`);
    },
    // Prints the tally and returns the exit status.
    finish() {
      console.log(`${suite}: ${passed} passed, ${failed} failed`);
      return failed ? 1 : 0;
    },
  };
}

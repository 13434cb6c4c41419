// Exhausted memory on demand. The project's nodes, worlds and agents obtain
// their arrays with the non-throwing array new; a test program that links
// this replaces that one allocation function, so a test can make the n-th
// such allocation from now on fail. Only a test program of its own may
// replace a global allocation function.
#pragma once

// Makes the (n + 1)-th non-throwing array allocation from now on fail, and
// only that one; a negative n lets every allocation succeed again.
void failAllocationAfter(int n);

// Non-throwing array allocations made since the last failAllocationAfter.
int allocationsCounted();

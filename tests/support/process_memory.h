#pragma once

namespace pelmora::test {

// The process's resident memory now and at its peak, in kB: VmRSS and VmHWM
// on Linux, the working set and its peak on Windows.
long ResidentKb();
long PeakResidentKb();

// Starts the peak afresh where the system can (Linux); elsewhere the peak
// keeps whatever came before, which only makes a growth measured from it
// larger.
void ResetPeakResident();

} // namespace pelmora::test

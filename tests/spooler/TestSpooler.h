// The private CUPS spooler for tests: started on demand, queues, jobs read back.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace qor::test {

// Makes sure a spooler answers at CUPS_SERVER: when it does not, runs
// scripts/test-spooler.sh start and takes over the environment it reports. Registered as
// a GoogleTest environment by every binary that links TestSpooler.cpp.
void EnsureTestSpooler();

// Folder where the test queues write what they print.
std::string SpoolerOutDir();
// Folder of the test PPDs.
std::string SpoolerPpdDir();

// Adds a queue `name` with the PPD `ppd` (a file name in SpoolerPpdDir()) that writes to
// `outFile` (no PPD at all, a raw queue, for ""), and removes it again. Both go through lpadmin; failures fail the test.
void AddQueue(const std::string& name, const std::string& ppd, const std::string& outFile);
void RemoveQueue(const std::string& name);

// A PDF file of `pages` A4 pages, page n showing the text "Page n". Returns its path.
std::string MakeTestPdf(int pages);

// What the spooler kept of a job.
struct JobAttributes {
    bool Found = false;
    int32_t State = 0;  // ipp_jstate_t
    int32_t Copies = 0;
    std::vector<std::pair<int32_t, int32_t>> PageRanges;
    std::string InputSlot;
    std::string MediaSource;
    std::string PrinterUri;
};

// Ids of every job, finished or not, that the spooler kept for `printer`.
std::vector<int32_t> JobsOf(const std::string& printer);
// The job's attributes, read with Get-Job-Attributes.
JobAttributes ReadJob(int32_t jobId);
// Waits (at most `seconds`) until the job has finished; returns its attributes then.
JobAttributes WaitForJob(int32_t jobId, double seconds = 30);

// Text of a PDF file as pdftotext extracts it.
std::string PdfText(const std::string& file);

}  // namespace qor::test

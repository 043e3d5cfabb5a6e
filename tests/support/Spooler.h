// The private CUPS spooler for tests: started on demand, queues added and removed, jobs read
// back over IPP, and a print server that is not there.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace qor::test {

// Starts scripts/test-spooler.sh unless its spooler already answers at CUPS_SERVER, and takes
// over its environment. Runs as a GoogleTest environment in every binary linking Spooler.cpp.
void EnsureTestSpooler();

// Folder where the test queues write what they print.
std::string SpoolerOutDir();
// Adds a queue writing to `outFile` with a PPD of the test folder ("" for a raw queue).
void AddQueue(const std::string& name, const std::string& ppd, const std::string& outFile);
void RemoveQueue(const std::string& name);
// Writes a PDF of `pages` A4 pages, page n showing "Page n", and returns its path.
std::string MakeTestPdf(int pages);

struct JobAttributes {  // what the spooler kept of a job
    bool Found = false;
    int32_t State = 0;  // ipp_jstate_t
    int32_t Copies = 0;
    std::vector<std::pair<int32_t, int32_t>> PageRanges;  // empty: every page
    std::string InputSlot;
};

// Ids of every job the spooler kept for `printer`, ascending; LastJob is the highest (or 0).
std::vector<int32_t> JobsOf(const std::string& printer);
int32_t LastJob(const std::string& printer);
// Waits (at most `seconds`) until the job has finished; returns its attributes then.
JobAttributes WaitForJob(int32_t jobId, double seconds = 30);
// The jobs of `printer` above id `after`, oldest first, once finished; one not completed fails.
std::vector<JobAttributes> JobsSince(const std::string& printer, int32_t after);

// While it lives, CUPS_SERVER names a local port where no print server answers (with
// `listening`, one that takes connections and never replies).
class NoPrintServer {
public:
    explicit NoPrintServer(bool listening = false);
    ~NoPrintServer();
    NoPrintServer(const NoPrintServer&) = delete;
    NoPrintServer& operator=(const NoPrintServer&) = delete;

private:
    int socket_ = -1;
    bool hadServer_ = false;
    std::string saved_;
};

}  // namespace qor::test

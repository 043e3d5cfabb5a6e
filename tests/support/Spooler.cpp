#include "support/Spooler.h"

#include "support/Files.h"
#include "support/Process.h"

#include <qor/Spooler.h>

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace qor::test {
namespace {

// Takes over the `export NAME=value` lines of the script's env file.
void LoadEnvFile(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    const std::string prefix = "export ";
    while (std::getline(in, line)) {
        const auto eq = line.find('=');
        if (line.rfind(prefix, 0) != 0 || eq == std::string::npos) continue;
        ::setenv(line.substr(prefix.size(), eq - prefix.size()).c_str(), line.substr(eq + 1).c_str(), 1);
    }
    cupsSetServer(nullptr);  // forget the server chosen before
}

bool TestQueuesAnswer() {
    return std::getenv("CUPS_SERVER") && std::getenv("QOR_TEST_SPOOLER_OUT") &&
           Spooler::Instance().HasPrinter("PrinterA");
}

struct TestSpoolerEnvironment : ::testing::Environment {
    void SetUp() override { EnsureTestSpooler(); }
};

[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new TestSpoolerEnvironment);

// An IPP request to the test server; the response (null on failure) is the caller's.
ipp_t* Ask(ipp_t* request) {
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC,
                                HTTP_ENCRYPTION_IF_REQUESTED, 1, 5000, nullptr);
    if (!http) {
        ippDelete(request);
        return nullptr;
    }
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ipp_t* response = cupsDoRequest(http, request, "/");
    httpClose(http);
    return response;
}

std::string StringOf(ipp_t* response, const char* name, ipp_tag_t tag) {
    ipp_attribute_t* a = ippFindAttribute(response, name, tag);
    return a ? ippGetString(a, 0, nullptr) : "";
}

}  // namespace

void EnsureTestSpooler() {
    // The user's own default printer must not hide the test spooler's.
    ::unsetenv("LPDEST");
    ::unsetenv("PRINTER");
    cupsSetServer(nullptr);
    if (TestQueuesAnswer()) return;
    int status = 0;
    // Only the script's standard output: its last line names the environment file.
    const std::string out = Shell("(" + Quote(std::string(QOR_SOURCE_DIR) + "/scripts/test-spooler.sh") +
                                  " start 2>/dev/null)", &status);
    ASSERT_EQ(status, 0) << "scripts/test-spooler.sh start failed: " << out;
    std::string path = out.substr(0, out.find_last_not_of('\n') + 1);
    LoadEnvFile(path.substr(path.find_last_of('\n') + 1));
    ASSERT_TRUE(TestQueuesAnswer()) << "the test spooler of " << path << " does not answer";
}

std::string SpoolerOutDir() {
    const char* dir = std::getenv("QOR_TEST_SPOOLER_OUT");
    return dir ? dir : "";
}

void AddQueue(const std::string& name, const std::string& ppd, const std::string& outFile) {
    const char* ppds = std::getenv("QOR_TEST_SPOOLER_PPDS");
    const std::string ppdDir = ppds ? ppds : std::string(QOR_SOURCE_DIR) + "/scripts/cups/ppd";
    const std::string out = Shell("lpadmin -p " + Quote(name) + " -E -v " + Quote("file://" + outFile) +
                                  (ppd.empty() ? " -m raw" : " -P " + Quote(ppdDir + "/" + ppd)));
    ASSERT_TRUE(Spooler::Instance().HasPrinter(name)) << "lpadmin did not add " << name << ": " << out;
}

void RemoveQueue(const std::string& name) {
    const std::string out = Shell("lpadmin -x " + Quote(name));
    ASSERT_FALSE(Spooler::Instance().HasPrinter(name)) << "lpadmin did not remove " << name << ": " << out;
}

std::string MakeTestPdf(int pages) {
    std::vector<std::string> objects{"<< /Type /Catalog /Pages 2 0 R >>"};
    std::string kids;
    for (int i = 0; i < pages; ++i) kids += std::to_string(4 + 2 * i) + " 0 R ";
    objects.push_back("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages) + " >>");
    objects.push_back("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
    for (int i = 0; i < pages; ++i) {
        const std::string content = "BT /F1 24 Tf 72 700 Td (Page " + std::to_string(i + 1) + ") Tj ET";
        objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /Font "
                          "<< /F1 3 0 R >> >> /Contents " + std::to_string(5 + 2 * i) + " 0 R >>");
        objects.push_back("<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content +
                          "\nendstream");
    }
    std::string pdf = "%PDF-1.4\n";
    std::string xref = "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (size_t i = 0; i < objects.size(); ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", pdf.size());
        xref += line;
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const size_t start = pdf.size();
    pdf += xref + "trailer\n<< /Size " + std::to_string(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + std::to_string(start) + "\n%%EOF\n";

    static int count = 0;
    const std::string path = "/tmp/qor-spooler-test-" + std::to_string(::getpid()) + "-" + std::to_string(++count);
    WriteFile(path + ".pdf", pdf);
    return path + ".pdf";
}

std::vector<int32_t> JobsOf(const std::string& printer) {
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOBS);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/printers/%s", printer.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "all");
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "job-id");
    ipp_t* response = Ask(request);
    std::vector<int32_t> ids;
    for (ipp_attribute_t* a = ippFindAttribute(response, "job-id", IPP_TAG_INTEGER); a;
         a = ippFindNextAttribute(response, "job-id", IPP_TAG_INTEGER))
        ids.push_back(ippGetInteger(a, 0));
    ippDelete(response);
    std::sort(ids.begin(), ids.end());
    return ids;
}

int32_t LastJob(const std::string& printer) {
    const std::vector<int32_t> ids = JobsOf(printer);
    return ids.empty() ? 0 : ids.back();
}

namespace {

JobAttributes ReadJob(int32_t jobId) {
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    const std::string uri = "ipp://localhost/jobs/" + std::to_string(jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "all");
    ipp_t* response = Ask(request);
    JobAttributes job;
    if (response && ippGetStatusCode(response) <= IPP_STATUS_OK_EVENTS_COMPLETE) {
        job.Found = true;
        if (ipp_attribute_t* a = ippFindAttribute(response, "job-state", IPP_TAG_ENUM))
            job.State = ippGetInteger(a, 0);
        if (ipp_attribute_t* a = ippFindAttribute(response, "copies", IPP_TAG_INTEGER))
            job.Copies = ippGetInteger(a, 0);
        if (ipp_attribute_t* a = ippFindAttribute(response, "page-ranges", IPP_TAG_RANGE)) {
            for (int i = 0; i < ippGetCount(a); ++i) {
                int upper = 0;
                const int lower = ippGetRange(a, i, &upper);
                job.PageRanges.emplace_back(lower, upper);
            }
        }
        job.InputSlot = StringOf(response, "InputSlot", IPP_TAG_ZERO);
    }
    ippDelete(response);
    return job;
}

}  // namespace

JobAttributes WaitForJob(int32_t jobId, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    JobAttributes job = ReadJob(jobId);
    while (job.Found && job.State < IPP_JSTATE_CANCELED && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        job = ReadJob(jobId);
    }
    return job;
}

std::vector<JobAttributes> JobsSince(const std::string& printer, int32_t after) {
    std::vector<JobAttributes> jobs;
    for (int32_t id : JobsOf(printer)) {
        if (id <= after) continue;
        jobs.push_back(WaitForJob(id));
        EXPECT_EQ(jobs.back().State, IPP_JSTATE_COMPLETED) << "job " << id;
    }
    return jobs;
}

NoPrintServer::NoPrintServer(bool listening) {
    if (const char* server = std::getenv("CUPS_SERVER")) {
        hadServer_ = true;
        saved_ = server;
    }
    socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    EXPECT_EQ(::bind(socket_, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    EXPECT_EQ(::getsockname(socket_, reinterpret_cast<sockaddr*>(&addr), &len), 0);
    if (listening) { EXPECT_EQ(::listen(socket_, 8), 0); }
    ::setenv("CUPS_SERVER", ("127.0.0.1:" + std::to_string(ntohs(addr.sin_port))).c_str(), 1);
    cupsSetServer(nullptr);
}

NoPrintServer::~NoPrintServer() {
    ::close(socket_);
    if (hadServer_) ::setenv("CUPS_SERVER", saved_.c_str(), 1);
    else ::unsetenv("CUPS_SERVER");
    cupsSetServer(nullptr);
}

}  // namespace qor::test

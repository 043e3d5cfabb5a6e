#include "spooler/TestSpooler.h"

#include <qor/Spooler.h>

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace qor::test {

namespace {

std::string RunCommand(const std::string& command, int* status = nullptr) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    const int rc = ::pclose(pipe);
    if (status) *status = rc;
    return out;
}

std::string ShellQuote(const std::string& s) {
    std::string out = "'";
    for (char c : s) {
        if (c == '\'') out += "'\\''";
        else out += c;
    }
    return out + "'";
}

// Takes over the `export NAME=value` lines of the script's env file.
void LoadEnvFile(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const std::string prefix = "export ";
        if (line.rfind(prefix, 0) != 0) continue;
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        ::setenv(line.substr(prefix.size(), eq - prefix.size()).c_str(),
                 line.substr(eq + 1).c_str(), 1);
    }
    cupsSetServer(nullptr);  // forget the server chosen before
}

bool TestQueuesAnswer() {
    return std::getenv("CUPS_SERVER") && std::getenv("QOR_TEST_SPOOLER_OUT") &&
           Spooler::Instance().HasPrinter("PrinterA");
}

class TestSpoolerEnvironment : public ::testing::Environment {
public:
    void SetUp() override { EnsureTestSpooler(); }
};

[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new TestSpoolerEnvironment);

}  // namespace

void EnsureTestSpooler() {
    // The user's own default printer must not hide the test spooler's.
    ::unsetenv("LPDEST");
    ::unsetenv("PRINTER");
    cupsSetServer(nullptr);
    if (TestQueuesAnswer()) return;
    int status = 0;
    const std::string out =
        RunCommand(ShellQuote(std::string(QOR_SOURCE_DIR) + "/scripts/test-spooler.sh") + " start",
                   &status);
    ASSERT_EQ(status, 0) << "scripts/test-spooler.sh start failed: " << out;
    std::string path = out.substr(0, out.find_last_not_of("\n") + 1);
    path = path.substr(path.find_last_of('\n') + 1);
    LoadEnvFile(path);
    ASSERT_TRUE(TestQueuesAnswer()) << "the test spooler of " << path << " does not answer";
}

std::string SpoolerOutDir() {
    const char* dir = std::getenv("QOR_TEST_SPOOLER_OUT");
    return dir ? dir : "";
}

std::string SpoolerPpdDir() {
    const char* dir = std::getenv("QOR_TEST_SPOOLER_PPDS");
    return dir ? dir : std::string(QOR_SOURCE_DIR) + "/scripts/cups/ppd";
}

void AddQueue(const std::string& name, const std::string& ppd, const std::string& outFile) {
    int status = 0;
    const std::string out = RunCommand(
        "lpadmin -p " + ShellQuote(name) + " -E -v " + ShellQuote("file://" + outFile) +
            (ppd.empty() ? std::string(" -m raw") : " -P " + ShellQuote(SpoolerPpdDir() + "/" + ppd)) +
            " 2>&1 | grep -v deprecated",
        &status);
    ASSERT_TRUE(Spooler::Instance().HasPrinter(name)) << "lpadmin did not add " << name << ": " << out;
}

void RemoveQueue(const std::string& name) {
    const std::string out = RunCommand("lpadmin -x " + ShellQuote(name) + " 2>&1");
    ASSERT_FALSE(Spooler::Instance().HasPrinter(name)) << "lpadmin did not remove " << name << ": " << out;
}

std::string MakeTestPdf(int pages) {
    std::vector<std::string> objects;
    objects.push_back("<< /Type /Catalog /Pages 2 0 R >>");
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
    std::vector<size_t> offsets;
    for (size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    char line[32];
    for (size_t offset : offsets) {
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
        pdf += line;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";

    char path[] = "/tmp/qor-spooler-test-XXXXXX.pdf";
    const int fd = ::mkstemps(path, 4);
    if (fd < 0) return {};
    const bool written = ::write(fd, pdf.data(), pdf.size()) == static_cast<ssize_t>(pdf.size());
    ::close(fd);
    return written ? path : "";
}

std::vector<int32_t> JobsOf(const std::string& printer) {
    std::vector<int32_t> ids;
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC,
                                HTTP_ENCRYPTION_IF_REQUESTED, 1, 5000, nullptr);
    if (!http) return ids;
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOBS);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/printers/%s", printer.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "all");
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "job-id");
    ipp_t* response = cupsDoRequest(http, request, "/");
    for (ipp_attribute_t* a = ippFindAttribute(response, "job-id", IPP_TAG_INTEGER); a;
         a = ippFindNextAttribute(response, "job-id", IPP_TAG_INTEGER)) {
        ids.push_back(ippGetInteger(a, 0));
    }
    ippDelete(response);
    httpClose(http);
    return ids;
}

JobAttributes ReadJob(int32_t jobId) {
    JobAttributes job;
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC,
                                HTTP_ENCRYPTION_IF_REQUESTED, 1, 5000, nullptr);
    if (!http) return job;
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    char uri[HTTP_MAX_URI];
    std::snprintf(uri, sizeof uri, "ipp://localhost/jobs/%d", jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "all");
    ipp_t* response = cupsDoRequest(http, request, "/");
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
        if (ipp_attribute_t* a = ippFindAttribute(response, "InputSlot", IPP_TAG_ZERO))
            job.InputSlot = ippGetString(a, 0, nullptr);
        if (ipp_attribute_t* a = ippFindAttribute(response, "media-source", IPP_TAG_ZERO))
            job.MediaSource = ippGetString(a, 0, nullptr);
        if (ipp_attribute_t* a = ippFindAttribute(response, "job-printer-uri", IPP_TAG_URI))
            job.PrinterUri = ippGetString(a, 0, nullptr);
    }
    ippDelete(response);
    httpClose(http);
    return job;
}

JobAttributes WaitForJob(int32_t jobId, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    JobAttributes job = ReadJob(jobId);
    while (job.Found && job.State < IPP_JSTATE_CANCELED &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        job = ReadJob(jobId);
    }
    return job;
}

std::string PdfText(const std::string& file) {
    return RunCommand("pdftotext " + ShellQuote(file) + " - 2>&1");
}

}  // namespace qor::test

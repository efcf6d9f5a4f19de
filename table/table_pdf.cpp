#include "table/table_pdf.h"

#include <cairo-pdf.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include "eudc/app_state.h"
#include "print/glyph_face.h"
#include "table/pdf_merge.h"
#include "table/pdf_surface.h"

namespace kestra {
namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;
constexpr double kPointsPerPageUnit = kPointsPerMm / 10;

// Each part of a table is written by a child process of its own (the
// renderer keeps its radical text in appState, so threads would share it),
// one for each processor up to this many; this process then joins them.
constexpr long kMaxParts = 4;

// Where cairo's bytes go: a file, or memory when file is null.
struct StreamSink {
    explicit StreamSink(std::FILE* out = nullptr) : file(out) {}
    std::FILE* file;
    std::string memory;
    int error = 0;
};

cairo_status_t writeToStream(void* closure, const unsigned char* data, unsigned int length) {
    auto* sink = static_cast<StreamSink*>(closure);
    if (sink->file == nullptr) {
        sink->memory.append(reinterpret_cast<const char*>(data), length);
        return CAIRO_STATUS_SUCCESS;
    }
    if (std::fwrite(data, 1, length, sink->file) == length)
        return CAIRO_STATUS_SUCCESS;
    sink->error = errno != 0 ? errno : EIO;
    return CAIRO_STATUS_WRITE_ERROR;
}

std::string readAll(std::FILE* file) {
    std::string content;
    std::rewind(file);
    char buffer[1 << 16];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        content.append(buffer, got);
    return content;
}

class PdfDocument {
  public:
    PdfDocument(const PaperGeometry& paper, StreamSink& sink)
        : surface_(cairo_pdf_surface_create_for_stream(
              writeToStream, &sink, paper.widthMm * kPointsPerMm, paper.heightMm * kPointsPerMm)),
          cr_(cairo_create(surface_)) {
        // Page units from the top left of the printable area.
        const double margin = paper.marginMm * kPointsPerMm;
        cairo_translate(cr_, margin, margin);
        cairo_scale(cr_, kPointsPerPageUnit, kPointsPerPageUnit);
        cairo_set_source_rgb(cr_, 0, 0, 0);
        cairo_set_line_cap(cr_, CAIRO_LINE_CAP_SQUARE);
    }
    ~PdfDocument() {
        cairo_destroy(cr_);
        cairo_surface_destroy(surface_);
    }
    PdfDocument(const PdfDocument&) = delete;
    PdfDocument& operator=(const PdfDocument&) = delete;

    cairo_t* context() const { return cr_; }

    void setTitle(const std::string& title) {
        cairo_pdf_surface_set_metadata(surface_, CAIRO_PDF_METADATA_TITLE, title.c_str());
        cairo_pdf_surface_set_metadata(surface_, CAIRO_PDF_METADATA_CREATOR, "kestra-table");
    }

    cairo_status_t status() const {
        const cairo_status_t drawing = cairo_status(cr_);
        return drawing != CAIRO_STATUS_SUCCESS ? drawing : cairo_surface_status(surface_);
    }

    cairo_status_t finish() {
        cairo_surface_finish(surface_);
        return status();
    }

  private:
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

// Pages first, first + step, ... of the job, as one PDF.
std::string writePages(const TableJob& job, const PaperGeometry& paper, const TableFonts& fonts,
                       const std::string& title, int32_t first, int32_t step, StreamSink& sink) {
    PdfDocument document(paper, sink);
    document.setTitle(title);
    {
        // The renderer asks for the glyphs in the face glyphFaceFor names.
        PdfSurface surface(document.context(), fonts.eudc, fonts.glyphFace, fonts.labelFace,
                           glyphFaceFor(appState.fontFace, kTablePageTexts.labelFace,
                                        kTablePageTexts.standardEudcLabel));
        for (int32_t page = first; page <= job.layout().pageCount; page += step) {
            job.drawPage(surface, page);
            surface.flush();
            cairo_show_page(document.context());
            if (document.status() != CAIRO_STATUS_SUCCESS)
                break;
        }
    }
    const cairo_status_t status = document.finish();
    if (sink.error != 0)
        return std::strerror(sink.error);
    return status == CAIRO_STATUS_SUCCESS ? std::string() : cairo_status_to_string(status);
}

int partCount(const TableJob& job) {
    const long processors = sysconf(_SC_NPROCESSORS_ONLN);
    return static_cast<int>(
        std::clamp<long>(std::min<long>(processors, job.layout().pageCount), 1, kMaxParts));
}

struct Worker {
    pid_t pid = -1;
    std::FILE* file = nullptr; // the part's PDF, or the reason it failed
};

// A worker that failed on its own ends with this status and its reason as the
// whole of its file; any other ending of a worker leaves no reason.
constexpr int kWorkerGaveReason = 1;

// In the child: writes part `part` of `parts` and ends the process.
[[noreturn]] void runWorker(const TableJob& job, const PaperGeometry& paper,
                            const TableFonts& fonts, const std::string& title, int part, int parts,
                            std::FILE* file) {
    StreamSink sink(file);
    const std::string problem = writePages(job, paper, fonts, title, part + 1, parts, sink);
    if (!problem.empty()) {
        std::fflush(file);
        std::rewind(file);
        if (ftruncate(fileno(file), 0) == 0)
            std::fputs(problem.c_str(), file);
    }
    const bool flushed = std::fflush(file) == 0;
    _exit(problem.empty() && flushed ? 0 : kWorkerGaveReason);
}

// A worker ends with the run, whatever ends it: a kill of the run leaves no
// worker behind.
void endWithParent(pid_t parent) {
#ifdef __linux__
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent)
        _exit(kWorkerGaveReason);
#else
    (void)parent;
#endif
}

// Starts one worker for each part; fewer when the system refuses one.
std::vector<Worker> startWorkers(const TableJob& job, const PaperGeometry& paper,
                                 const TableFonts& fonts, const std::string& title, int parts) {
    std::vector<Worker> workers;
    std::fflush(nullptr);
    const pid_t parent = getpid();
    for (int part = 0; part < parts; ++part) {
        Worker worker;
        worker.file = std::tmpfile();
        if (worker.file == nullptr)
            break;
        worker.pid = fork();
        if (worker.pid == 0) {
            endWithParent(parent);
            runWorker(job, paper, fonts, title, part, parts, worker.file);
        }
        if (worker.pid < 0) {
            std::fclose(worker.file);
            break;
        }
        workers.push_back(worker);
    }
    return workers;
}

// Waits for the worker and takes its PDF; empty when it succeeded, else why not.
std::string finishWorker(const Worker& worker, std::string& pdf) {
    int status = 0;
    while (waitpid(worker.pid, &status, 0) < 0 && errno == EINTR) {
    }
    pdf = readAll(worker.file);
    std::fclose(worker.file);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return std::string();
    const bool gaveReason = WIFEXITED(status) && WEXITSTATUS(status) == kWorkerGaveReason;
    return gaveReason && !pdf.empty() ? pdf : std::string(std::strerror(ECHILD));
}

// Every worker is waited for, whatever happened to the others. The parts'
// texts are kept until the joined file is written.
std::string joinWorkers(const std::vector<Worker>& workers, std::FILE* out) {
    std::vector<std::string> outputs(workers.size());
    InterleavedPdf joined(workers.size());
    std::string problem;
    for (size_t k = 0; k < workers.size(); ++k) {
        const std::string failure = finishWorker(workers[k], outputs[k]);
        if (problem.empty())
            problem = failure.empty() ? joined.readPart(k, outputs[k]) : failure;
    }
    return problem.empty() ? joined.write(out) : problem;
}

// The parts are written side by side, each by a child process, and joined
// here; this process stays small, which keeps the run's peak memory that of
// one part.
std::string writeInParts(const TableJob& job, const PaperGeometry& paper, const TableFonts& fonts,
                         const std::string& title, int parts, std::FILE* out) {
    const std::vector<Worker> workers = startWorkers(job, paper, fonts, title, parts);
    if (static_cast<int>(workers.size()) == parts)
        return joinWorkers(workers, out);
    for (const Worker& worker : workers) {
        std::string unused;
        finishWorker(worker, unused);
    }
    StreamSink sink(out);
    return writePages(job, paper, fonts, title, 1, 1, sink);
}

} // namespace

std::string writeTablePdf(const TableJob& job, const PaperGeometry& paper, const TableFonts& fonts,
                          const std::string& title, std::FILE* out) {
    const int parts = partCount(job);
    if (parts > 1)
        return writeInParts(job, paper, fonts, title, parts, out);
    StreamSink sink(out);
    return writePages(job, paper, fonts, title, 1, 1, sink);
}

} // namespace kestra

#include "table/table_pdf.h"

#include <cairo-pdf.h>

#include <cerrno>
#include <cstring>

#include "eudc/app_state.h"
#include "print/glyph_face.h"
#include "table/pdf_surface.h"

namespace kestra {
namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;
constexpr double kPointsPerPageUnit = kPointsPerMm / 10;

struct StreamSink {
    std::FILE* out;
    int error = 0;
};

cairo_status_t writeToStream(void* closure, const unsigned char* data, unsigned int length) {
    auto* sink = static_cast<StreamSink*>(closure);
    if (std::fwrite(data, 1, length, sink->out) == length)
        return CAIRO_STATUS_SUCCESS;
    sink->error = errno != 0 ? errno : EIO;
    return CAIRO_STATUS_WRITE_ERROR;
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

} // namespace

std::string writeTablePdf(const TableJob& job, const PaperGeometry& paper, const TableFonts& fonts,
                          const std::string& title, std::FILE* out) {
    StreamSink sink{out};
    PdfDocument document(paper, sink);
    document.setTitle(title);
    {
        // The renderer asks for the glyphs in the face glyphFaceFor names.
        PdfSurface surface(document.context(), fonts.eudc, fonts.glyphFace, fonts.labelFace,
                           glyphFaceFor(appState.fontFace, kTablePageTexts.labelFace,
                                        kTablePageTexts.standardEudcLabel));
        for (int32_t page = 1; page <= job.layout().pageCount; ++page) {
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

} // namespace kestra

#include "table/pdf_merge.h"

// qpdf 11 asks its users to say they want its std::shared_ptr interface.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <exception>

namespace kestra {
namespace {

void takeDocumentInformation(QPDF& from, QPDF& to) {
    QPDFObjectHandle info = from.getTrailer().getKey("/Info");
    if (info.isDictionary())
        to.getTrailer().replaceKey("/Info", to.copyForeignObject(info));
}

} // namespace

InterleavedPdf::InterleavedPdf(size_t partCount) : parts_(partCount) {}

InterleavedPdf::~InterleavedPdf() = default;

// qpdf reports failures by exception; they stop here, as a reason.
std::string InterleavedPdf::readPart(size_t k, const std::string& data) {
    try {
        auto part = std::make_unique<QPDF>();
        part->processMemoryFile("table part", data.data(), data.size());
        parts_.at(k) = std::move(part);
        return std::string();
    } catch (const std::exception& error) {
        return error.what();
    }
}

std::string InterleavedPdf::write(std::FILE* out) {
    try {
        std::vector<std::vector<QPDFPageObjectHelper>> pages;
        for (const auto& part : parts_)
            pages.push_back(QPDFPageDocumentHelper(*part).getAllPages());
        QPDF joined;
        joined.emptyPDF();
        QPDFPageDocumentHelper joinedPages(joined);
        for (size_t page = 0;; ++page) {
            const size_t part = page % pages.size();
            const size_t turn = page / pages.size();
            if (turn >= pages[part].size())
                break;
            joinedPages.addPage(pages[part][turn], false);
        }
        takeDocumentInformation(*parts_.front(), joined);
        QPDFWriter writer(joined);
        writer.setOutputFile("table", out, false);
        writer.setDecodeLevel(qpdf_dl_none);
        writer.setCompressStreams(false);
        writer.write();
        return std::string();
    } catch (const std::exception& error) {
        return error.what();
    }
}

} // namespace kestra

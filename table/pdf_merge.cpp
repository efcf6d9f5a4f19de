#include "table/pdf_merge.h"

// qpdf 11 asks its users to say they want its std::shared_ptr interface.
#define POINTERHOLDER_TRANSITION 4

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <exception>
#include <memory>

namespace kestra {
namespace {

void takeDocumentInformation(QPDF& from, QPDF& to) {
    QPDFObjectHandle info = from.getTrailer().getKey("/Info");
    if (info.isDictionary())
        to.getTrailer().replaceKey("/Info", to.copyForeignObject(info));
}

} // namespace

// qpdf reports failures by exception; they stop here, as a reason.
std::string mergeInterleavedPdfs(const std::vector<std::string>& parts, std::FILE* out) {
    try {
        std::vector<std::unique_ptr<QPDF>> inputs;
        std::vector<std::vector<QPDFPageObjectHelper>> pages;
        for (const std::string& part : parts) {
            inputs.push_back(std::make_unique<QPDF>());
            inputs.back()->processMemoryFile("table part", part.data(), part.size());
            pages.push_back(QPDFPageDocumentHelper(*inputs.back()).getAllPages());
        }
        QPDF merged;
        merged.emptyPDF();
        QPDFPageDocumentHelper mergedPages(merged);
        for (size_t page = 0;; ++page) {
            const size_t part = page % parts.size();
            const size_t turn = page / parts.size();
            if (turn >= pages[part].size())
                break;
            mergedPages.addPage(pages[part][turn], false);
        }
        if (!inputs.empty())
            takeDocumentInformation(*inputs.front(), merged);
        QPDFWriter writer(merged);
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

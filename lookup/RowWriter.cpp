#include "lookup/RowWriter.h"

namespace lookup {
namespace {

constexpr size_t kFlushSize = 1 << 16;
constexpr std::string_view kJsonNames[] = {"\"line\":", "\"zipcode\":", "\"ddd\":", "\"address\":"};
constexpr char kNotFound[] = "not found";

void AppendJsonString(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      static const char kHex[] = "0123456789abcdef";
      out += "\\u00";
      out += kHex[u >> 4];
      out += kHex[u & 15];
    } else {
      out += c;
    }
  }
  out += '"';
}

}  // namespace

RowWriter::RowWriter(OutputFormat format, bool withLine, std::FILE* out)
    : format_(format), withLine_(withLine), out_(out) {
  if (format_ == OutputFormat::kJson) buffer_ += '[';
  if (format_ == OutputFormat::kCsv)
    buffer_ += withLine_ ? "line,zipcode,ddd,address,status\n" : "zipcode,ddd,address\n";
}

RowWriter::~RowWriter() {
  Finish();
}

void RowWriter::Field(std::string_view text) {
  switch (format_) {
    case OutputFormat::kTsv:
      if (!firstField_) buffer_ += '\t';
      // A tab or a line break inside a field would break the row apart.
      for (const char c : text) buffer_ += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
      break;
    case OutputFormat::kCsv:
      if (!firstField_) buffer_ += ',';
      if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        buffer_ += text;
      } else {
        buffer_ += '"';
        for (const char c : text) {
          if (c == '"') buffer_ += '"';
          buffer_ += c;
        }
        buffer_ += '"';
      }
      break;
    case OutputFormat::kJson:
      break;
  }
  firstField_ = false;
}

void RowWriter::JsonRow(long line, const std::string_view* values, bool found) {
  buffer_ += anyRow_ ? ",\n{" : "\n{";
  if (withLine_) {
    buffer_ += kJsonNames[0];
    buffer_ += std::to_string(line);
    buffer_ += ',';
  }
  if (!found) {
    buffer_ += "\"status\":";
    AppendJsonString(buffer_, kNotFound);
  } else {
    for (int i = 0; i < 3; ++i) {
      if (i > 0) buffer_ += ',';
      buffer_ += kJsonNames[i + 1];
      AppendJsonString(buffer_, values[i]);
    }
  }
  buffer_ += '}';
}

void RowWriter::Row(long line, std::string_view zipcode, std::string_view ddd,
                    std::string_view address) {
  const std::string_view values[] = {zipcode, ddd, address};
  if (format_ == OutputFormat::kJson) {
    JsonRow(line, values, true);
  } else {
    firstField_ = true;
    if (withLine_) Field(std::to_string(line));
    for (const std::string_view v : values) Field(v);
    if (withLine_ && format_ == OutputFormat::kCsv) Field("");
    buffer_ += '\n';
  }
  anyRow_ = true;
  if (buffer_.size() >= kFlushSize) Flush();
}

void RowWriter::NotFound(long line) {
  if (format_ == OutputFormat::kJson) {
    JsonRow(line, nullptr, false);
  } else {
    firstField_ = true;
    Field(std::to_string(line));
    for (int i = 0; i < 3; ++i) Field("");
    if (format_ == OutputFormat::kCsv) Field(kNotFound);
    buffer_ += '\n';
  }
  anyRow_ = true;
  if (buffer_.size() >= kFlushSize) Flush();
}

void RowWriter::Flush() {
  if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), out_) != buffer_.size())
    failed_ = true;
  buffer_.clear();
}

bool RowWriter::Finish() {
  if (!finished_) {
    finished_ = true;
    if (format_ == OutputFormat::kJson) buffer_ += anyRow_ ? "\n]\n" : "]\n";
    Flush();
    if (std::fflush(out_) != 0 || std::ferror(out_)) failed_ = true;
  }
  return !failed_;
}

}  // namespace lookup

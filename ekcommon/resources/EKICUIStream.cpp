#include "ekcommon/resources/EKICUIStream.h"

#include "ekcommon/resources/EKMemStreamBuf.h"
#include "ekcommon/resources/EKStrStream.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <regex>
#include <unicode/ucnv.h>
#include <unicode/ucsdet.h>

namespace EKCommonNS {

namespace {
constexpr size_t PUTBACK_UNITS = EKICUIStreamBuf::PUTBACK_SIZE / sizeof(UChar);
constexpr size_t OUTPUT_UNITS = EKICUIStreamBuf::OUTPUT_SIZE / sizeof(UChar);
constexpr size_t SAMPLE_SIZE = 1024;
constexpr size_t RESULT_SIZE = 100;

// ICU writes UTF-16 in the machine's byte order; the stream delivers little-endian.
void toLittleEndian([[maybe_unused]] UChar* begin, [[maybe_unused]] UChar* end) {
#if U_IS_BIG_ENDIAN
  for (; begin != end; ++begin)
    *begin = static_cast<UChar>(*begin << 8 | *begin >> 8);
#endif
}

// Reads up to SAMPLE_SIZE bytes from the start of `in` and rewinds it with its state cleared.
// A stream that cannot seek is neither read nor changed, so its reader loses nothing.
size_t readSample(std::istream& in, char* sample) {
  const std::ios_base::iostate state = in.rdstate();
  const std::ios_base::iostate exceptions = in.exceptions();
  in.exceptions(std::ios_base::goodbit);
  in.clear();
  size_t length = 0;
  if (in.seekg(0, std::ios_base::beg)) {
    in.read(sample, SAMPLE_SIZE);
    length = static_cast<size_t>(in.gcount());
    in.clear();
    in.seekg(0, std::ios_base::beg);
    in.clear();
  } else {
    in.clear(state);
  }
  in.exceptions(exceptions);
  return length;
}

// libstdc++ matches depth-first by default, with stack frames for every character `[^>]*`
// takes, so a long declaration could exhaust a small thread stack; its polynomial
// (breadth-first) mode needs no more stack for a longer text.
constexpr std::regex::flag_type PATTERN_FLAGS = std::regex::ECMAScript | std::regex_constants::__polynomial;

// An XML declaration at the very start naming an encoding in double quotes, and any XML
// declaration at the very start.
const std::regex& declaredEncoding() {
  static const std::regex pattern(R"(^\<\?xml [^>]* encoding=\"([a-zA-Z0-9\-]+)\")", PATTERN_FLAGS);
  return pattern;
}

const std::regex& xmlDeclaration() {
  static const std::regex pattern(R"(^\<\?xml [^>]*\?\>)", PATTERN_FLAGS);
  return pattern;
}

void setResult(char* result, const char* name, size_t length) {
  length = std::min(length, RESULT_SIZE - 1);
  std::memcpy(result, name, length);
  result[length] = '\0';
}

// The name of ICU's best match for the sample; the result stays empty when there is none.
void detectWithIcu(const char* sample, size_t length, char* result) {
  UErrorCode status = U_ZERO_ERROR;
  icu::LocalUCharsetDetectorPointer detector(ucsdet_open(&status));
  ucsdet_setText(detector.getAlias(), sample, static_cast<int32_t>(length), &status);
  const UCharsetMatch* match = ucsdet_detect(detector.getAlias(), &status);
  const char* name = match ? ucsdet_getName(match, &status) : nullptr;
  if (U_SUCCESS(status) && name)
    setResult(result, name, std::strlen(name));
}
} // namespace

EKICUIStreamBuf::EKICUIStreamBuf(std::istream* source, const char* encoding) : m_source(source) {
  // A closed buffer never touches its source.
  m_sourceEnded = !init(encoding) || !source;
  char* const out = reinterpret_cast<char*>(m_buffer + PUTBACK_UNITS);
  setg(out, out, out);
}

EKICUIStreamBuf::~EKICUIStreamBuf() { term(); }

bool EKICUIStreamBuf::init(const char* encoding) {
  if (!encoding || !*encoding)
    return false;
  m_status = U_ZERO_ERROR;
  m_converter = ucnv_open(encoding, &m_status);
  if (U_FAILURE(m_status))
    m_converter = nullptr;
  return m_converter != nullptr;
}

void EKICUIStreamBuf::term() {
  if (m_converter)
    ucnv_close(m_converter);
  m_converter = nullptr;
}

void EKICUIStreamBuf::keepPutback(const char* end, size_t available) {
  char* const out = reinterpret_cast<char*>(m_buffer + PUTBACK_UNITS);
  const size_t keep = std::min(PUTBACK_SIZE, available);
  std::memmove(out - keep, end - keep, keep);
  setg(out - keep, out, out);
}

void EKICUIStreamBuf::refill() {
  // The library's own memory streams hand their bytes over in place, without a copy; their
  // memory stays put while it is converted.
  const char* inPlace = nullptr;
  size_t inPlaceLength = 0;
  bool readsInPlace = true;
  if (auto* text = dynamic_cast<EKStrStream::StrStreamBuf*>(m_source->rdbuf()))
    inPlaceLength = text->readInPlace(inPlace, INPUT_SIZE);
  else if (auto* memory = dynamic_cast<EKMemStreamBuf*>(m_source->rdbuf()))
    inPlaceLength = memory->getBuffer(inPlace, INPUT_SIZE);
  else
    readsInPlace = false;
  if (readsInPlace) {
    m_inputPos = inPlaceLength > 0 ? inPlace : m_input;
    m_inputEnd = m_inputPos + inPlaceLength;
    m_sourceEnded = inPlaceLength == 0;
    return;
  }
  try {
    m_source->read(m_input, INPUT_SIZE);
  } catch (...) {
    // A source that throws at its end (its exceptions are enabled) ends like one that does not;
    // the bytes it did read are still counted.
  }
  const std::streamsize got = m_source->gcount();
  m_inputPos = m_input;
  m_inputEnd = m_input + got;
  m_sourceEnded = got < static_cast<std::streamsize>(INPUT_SIZE);
}

UChar* EKICUIStreamBuf::convert(UChar* out, UChar* limit) {
  UChar* target = out;
  // Input can convert to nothing (a byte-order mark, an escape sequence, the first bytes of a
  // character), so reading goes on until output appears or the flushed end is reached.
  while (target == out) {
    if (m_inputPos == m_inputEnd && !m_outputPending) {
      if (m_sourceEnded)
        break;
      refill();
    }
    m_status = U_ZERO_ERROR;
    // The flush at the end turns a truncated last character into a substitution character.
    ucnv_toUnicode(m_converter, &target, limit, &m_inputPos, m_inputEnd, nullptr, m_sourceEnded, &m_status);
    m_outputPending = m_status == U_BUFFER_OVERFLOW_ERROR;
    if (U_FAILURE(m_status) && !m_outputPending) {
      // ICU gave up on the input: what it produced is delivered and the text ends there.
      m_inputPos = m_inputEnd;
      m_sourceEnded = true;
    }
  }
  toLittleEndian(out, target);
  return target;
}

EKICUIStreamBuf::int_type EKICUIStreamBuf::underflow() {
  if (gptr() < egptr())
    return traits_type::to_int_type(*gptr());
  keepPutback(gptr(), static_cast<size_t>(gptr() - eback()));
  if (!m_converter)
    return traits_type::eof();
  UChar* const out = m_buffer + PUTBACK_UNITS;
  UChar* const end = convert(out, out + OUTPUT_UNITS);
  if (end == out) {
    term();
    return traits_type::eof();
  }
  setg(eback(), gptr(), reinterpret_cast<char*>(end));
  return traits_type::to_int_type(*gptr());
}

std::streamsize EKICUIStreamBuf::xsgetn(char* s, std::streamsize n) {
  std::streamsize done = 0;
  while (done < n) {
    const std::streamsize available = egptr() - gptr();
    if (available > 0) {
      const std::streamsize chunk = std::min(available, n - done);
      std::memcpy(s + done, gptr(), static_cast<size_t>(chunk));
      gbump(static_cast<int>(chunk));
      done += chunk;
      continue;
    }
    const size_t room = static_cast<size_t>(n - done) / sizeof(UChar);
    const bool aligned = reinterpret_cast<uintptr_t>(s + done) % alignof(UChar) == 0;
    if (room < OUTPUT_UNITS || !aligned || !m_converter) {
      // Small or odd reads go through the get area.
      if (traits_type::eq_int_type(underflow(), traits_type::eof()))
        break;
      continue;
    }
    UChar* const out = reinterpret_cast<UChar*>(s + done);
    UChar* const end = convert(out, out + room);
    if (end == out) {
      term();
      break;
    }
    done += (end - out) * static_cast<std::streamsize>(sizeof(UChar));
    keepPutback(s + done, static_cast<size_t>(done));
  }
  return done;
}

EKICUIStream::EKICUIStream(std::istream* source, const char* encoding)
    : std::istream(nullptr), m_buf(source, encoding) {
  rdbuf(&m_buf);
}

const char* EKICUIStream::detectEncoding(std::istream* in) {
  thread_local char s_result[RESULT_SIZE];
  s_result[0] = '\0';
  char sample[SAMPLE_SIZE];
  const size_t length = in ? readSample(*in, sample) : 0;
  if (length == 0)
    return s_result;
  // The declaration patterns see the sample as a C string: only the bytes before a zero byte.
  const char* const textEnd = std::find(sample, sample + length, '\0');
  std::cmatch match;
  if (std::regex_search(static_cast<const char*>(sample), textEnd, match, declaredEncoding()))
    setResult(s_result, match[1].first, static_cast<size_t>(match[1].length()));
  else if (!std::regex_search(static_cast<const char*>(sample), textEnd, xmlDeclaration()))
    detectWithIcu(sample, length, s_result);
  return s_result;
}

} // namespace EKCommonNS

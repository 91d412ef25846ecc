#include "dialog_template.h"

#include <cstring>

namespace {

constexpr std::size_t kTemplateBytes = 18;    // DLGTEMPLATE
constexpr std::size_t kTemplateExBytes = 26;  // DLGTEMPLATEEX
constexpr WORD kOrdinal = 0xFFFF;

// Reads the template's words, never past its end.
class WordReader {
 public:
  WordReader(const BYTE* bytes, std::size_t size) : m_bytes(bytes), m_size(size) {}

  bool Skip(std::size_t n) {
    if (n > m_size - m_offset) return false;
    m_offset += n;
    return true;
  }
  bool Word(WORD* value) {
    if (sizeof *value > m_size - m_offset) return false;
    std::memcpy(value, m_bytes + m_offset, sizeof *value);
    m_offset += sizeof *value;
    return true;
  }
  bool Dword(std::size_t at, DWORD* value) const {
    if (at > m_size || sizeof *value > m_size - at) return false;
    std::memcpy(value, m_bytes + at, sizeof *value);
    return true;
  }
  // A zero-terminated text of words.
  bool Text(std::wstring* text) {
    for (WORD c; Word(&c);) {
      if (c == 0) return true;
      if (text) text->push_back(static_cast<wchar_t>(c));
    }
    return false;
  }
  // A menu or class field: none (0), an ordinal (0xFFFF, id), or a text.
  bool TextOrOrdinal() {
    WORD first;
    if (!Word(&first)) return false;
    if (first == 0) return true;
    if (first == kOrdinal) return Skip(sizeof(WORD));
    return Text(nullptr);
  }
  std::size_t Offset() const { return m_offset; }

 private:
  const BYTE* m_bytes;
  std::size_t m_size;
  std::size_t m_offset = 0;
};

// Where the face name lies: [start, end) including its terminating zero.
struct FaceField {
  std::size_t start = 0;
  std::size_t end = 0;
  std::wstring face;
};

bool FindFace(const void* dialogTemplate, std::size_t size, FaceField* field) {
  if (dialogTemplate == nullptr) return false;
  WordReader reader(static_cast<const BYTE*>(dialogTemplate), size);
  WORD version = 0, signature = 0;
  const bool extended = reader.Word(&version) && reader.Word(&signature) && version == 1 && signature == kOrdinal;
  DWORD style = 0;
  if (!reader.Dword(extended ? 12 : 0, &style)) return false;
  reader = WordReader(static_cast<const BYTE*>(dialogTemplate), size);
  if (!reader.Skip(extended ? kTemplateExBytes : kTemplateBytes)) return false;
  if (!reader.TextOrOrdinal() || !reader.TextOrOrdinal() || !reader.Text(nullptr)) return false;
  if (!(style & DS_SETFONT)) return false;
  // The point size; the extended form adds weight, italic and charset.
  if (!reader.Skip(extended ? 6 : 2)) return false;
  field->start = reader.Offset();
  field->face.clear();
  if (!reader.Text(&field->face)) return false;
  field->end = reader.Offset();
  return true;
}

std::size_t AlignToDword(std::size_t offset) { return (offset + 3) & ~std::size_t{3}; }

}  // namespace

std::wstring TemplateFace(const void* dialogTemplate, std::size_t size) {
  FaceField field;
  return FindFace(dialogTemplate, size, &field) ? field.face : std::wstring();
}

std::vector<DWORD> WithTemplateFace(const void* dialogTemplate, std::size_t size, const std::wstring& face) {
  FaceField field;
  if (!FindFace(dialogTemplate, size, &field)) return {};
  const BYTE* bytes = static_cast<const BYTE*>(dialogTemplate);
  // The controls start at the first DWORD boundary behind the face.
  const std::size_t controls = AlignToDword(field.end) < size ? AlignToDword(field.end) : size;
  const std::size_t faceBytes = (face.size() + 1) * sizeof(WORD);
  const std::size_t newControls = AlignToDword(field.start + faceBytes);
  std::vector<DWORD> copy((newControls + (size - controls) + 3) / 4, 0);
  BYTE* out = reinterpret_cast<BYTE*>(copy.data());
  std::memcpy(out, bytes, field.start);
  for (std::size_t i = 0; i < face.size(); ++i) {
    WORD c = static_cast<WORD>(face[i]);
    std::memcpy(out + field.start + i * sizeof c, &c, sizeof c);
  }
  std::memcpy(out + newControls, bytes + controls, size - controls);
  return copy;
}

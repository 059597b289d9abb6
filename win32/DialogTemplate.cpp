#include "win32/DialogTemplate.h"

#include <cstring>

namespace velmo {

namespace {

// Reads the template's fields in turn; past the end it reads zeros and
// remembers that it went too far.
class TemplateReader {
  public:
    explicit TemplateReader(std::span<const std::byte> bytes) : bytes_(bytes) {}

    bool Whole() const { return whole_; }

    template <typename T>
    T Read() {
        T value{};
        if (offset_ + sizeof value > bytes_.size()) {
            whole_ = false;
            offset_ = bytes_.size();
            return value;
        }
        std::memcpy(&value, bytes_.data() + offset_, sizeof value);
        offset_ += sizeof value;
        return value;
    }

    // A text ending in a NUL, the first character perhaps read already.
    std::wstring ReadText(WORD first) {
        std::wstring text;
        for (WORD c = first; c != 0 && whole_; c = Read<WORD>()) {
            text.push_back(static_cast<wchar_t>(c));
        }
        return text;
    }

    // A field that is empty (0x0000), a number (0xFFFF and the number) or a
    // text; `number` is set for a number.
    std::wstring ReadTextOrNumber(std::optional<WORD>* number = nullptr) {
        const WORD first = Read<WORD>();
        if (first == 0xFFFF) {
            const WORD value = Read<WORD>();
            if (number != nullptr) {
                *number = value;
            }
            return {};
        }
        return ReadText(first);
    }

    void Skip(std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            Read<BYTE>();
        }
    }

    // The items start on a DWORD boundary of the template.
    void AlignToDword() { Skip((4 - offset_ % 4) % 4); }

  private:
    std::span<const std::byte> bytes_;
    std::size_t offset_ = 0;
    bool whole_ = true;
};

DialogUnitBox ReadBox(TemplateReader& reader) {
    DialogUnitBox box;
    box.x = reader.Read<short>();
    box.y = reader.Read<short>();
    box.cx = reader.Read<short>();
    box.cy = reader.Read<short>();
    return box;
}

DialogTemplateItem ReadItem(TemplateReader& reader) {
    reader.AlignToDword();
    DialogTemplateItem item;
    reader.Read<DWORD>();  // help id
    reader.Read<DWORD>();  // extended style
    item.style = reader.Read<DWORD>();
    item.box = ReadBox(reader);
    item.id = LOWORD(reader.Read<DWORD>());
    std::optional<WORD> classAtom;
    reader.ReadTextOrNumber(&classAtom);
    item.classAtom = classAtom.value_or(0);
    std::optional<WORD> titleNumber;
    item.text = reader.ReadTextOrNumber(&titleNumber);
    item.hasText = !titleNumber.has_value();
    reader.Skip(reader.Read<WORD>());  // the creation data
    return item;
}

}  // namespace

std::optional<DialogTemplateInfo> ReadDialogTemplate(std::span<const std::byte> bytes) {
    TemplateReader reader(bytes);
    const WORD version = reader.Read<WORD>();
    const WORD signature = reader.Read<WORD>();
    if (version != 1 || signature != 0xFFFF) {
        return std::nullopt;
    }
    DialogTemplateInfo info;
    reader.Read<DWORD>();  // help id
    reader.Read<DWORD>();  // extended style
    info.style = reader.Read<DWORD>();
    const WORD itemCount = reader.Read<WORD>();
    info.box = ReadBox(reader);
    reader.ReadTextOrNumber();  // menu
    reader.ReadTextOrNumber();  // window class
    reader.ReadTextOrNumber();  // caption
    if ((info.style & DS_SETFONT) != 0) {
        DialogTemplateFont font;
        font.points = reader.Read<WORD>();
        font.weight = reader.Read<WORD>();
        font.italic = reader.Read<BYTE>();
        font.charset = reader.Read<BYTE>();
        font.face = reader.ReadText(reader.Read<WORD>());
        info.font = font;
    }
    for (WORD i = 0; i < itemCount && reader.Whole(); ++i) {
        info.items.push_back(ReadItem(reader));
    }
    if (!reader.Whole()) {
        return std::nullopt;
    }
    return info;
}

}  // namespace velmo

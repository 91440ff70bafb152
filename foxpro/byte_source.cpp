#include "foxpro/byte_source.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "foxpro/error.h"
#include "foxpro/message_text.h"

namespace rowlark::foxpro {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

class FileSource final : public ByteSource {
public:
    FileSource(std::string path, std::FILE* file, std::uint64_t size)
        : path_(std::move(path)), file_(file), size_(size) {}
    const std::string& Name() const override { return path_; }
    std::uint64_t Size() const override { return size_; }
    std::string ReadAt(std::uint64_t offset, std::size_t size) override {
        if (offset >= size_) return {};
        if (size > size_ - offset) size = static_cast<std::size_t>(size_ - offset);
        std::string bytes(size, '\0');
        // Records read one after another need no seek: fseeko would drop the buffer and ask the kernel.
        if (offset != position_ && fseeko(file_.get(), static_cast<off_t>(offset), SEEK_SET) != 0) {
            position_ = kUnknown;
            throw FoxProError({path_}, Fill(_("cannot seek: %s"), {std::strerror(errno)}));
        }
        const std::size_t got = std::fread(bytes.data(), 1, size, file_.get());
        position_ = offset + got;
        if (got != size && std::ferror(file_.get())) {
            position_ = kUnknown;
            throw FoxProError({path_}, Fill(_("cannot read: %s"), {std::strerror(errno)}));
        }
        bytes.resize(got);
        return bytes;
    }

private:
    std::string path_;
    static constexpr std::uint64_t kUnknown = ~std::uint64_t{0};
    std::unique_ptr<std::FILE, FileCloser> file_;
    std::uint64_t size_;
    std::uint64_t position_ = kUnknown;  // where the stream stands after the last read
};

class BytesSource final : public ByteSource {
public:
    BytesSource(std::string name, std::string_view bytes) : name_(std::move(name)), bytes_(bytes) {}
    const std::string& Name() const override { return name_; }
    std::uint64_t Size() const override { return bytes_.size(); }
    std::string ReadAt(std::uint64_t offset, std::size_t size) override {
        if (offset >= bytes_.size()) return {};
        return std::string(bytes_.substr(static_cast<std::size_t>(offset), size));
    }

private:
    std::string name_;
    std::string_view bytes_;
};

}  // namespace

std::unique_ptr<ByteSource> OpenFileSource(const std::string& path) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) throw FoxProError({path}, Fill(_("cannot open: %s"), {std::strerror(errno)}));
    if (fseeko(file.get(), 0, SEEK_END) != 0) throw FoxProError({path}, Fill(_("cannot seek: %s"), {std::strerror(errno)}));
    const off_t size = ftello(file.get());
    if (size < 0) throw FoxProError({path}, Fill(_("cannot size: %s"), {std::strerror(errno)}));
    return std::make_unique<FileSource>(path, file.release(), static_cast<std::uint64_t>(size));
}

std::unique_ptr<ByteSource> MemorySource(std::string name, std::string_view bytes) {
    return std::make_unique<BytesSource>(std::move(name), bytes);
}

}  // namespace rowlark::foxpro

#include "interchange/lxf_write.h"

#include <zip.h>

#include <memory>

#include "core/file_names.h"

namespace meet {

namespace {

std::unexpected<Error> ZipFailed(const std::string& what, zip_error_t* error) {
  return std::unexpected(Error{ErrorKind::Io, "Lenex の zip を作れません（" + what + ": " + zip_error_strerror(error) + "）。"});
}

}  // namespace

Result<std::string> LxfBytes(std::string_view entryName, std::string_view lef) {
  zip_error_t error;
  zip_error_init(&error);
  std::unique_ptr<zip_error_t, void (*)(zip_error_t*)> cleanup(&error, zip_error_fini);
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
  if (!buffer) return ZipFailed("buffer", &error);
  zip_source_keep(buffer);  // kept past zip_close to read the archive back
  std::unique_ptr<zip_source_t, void (*)(zip_source_t*)> archiveBytes(buffer, zip_source_free);
  zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
  if (!archive) return ZipFailed("open", &error);
  zip_source_t* content = zip_source_buffer(archive, lef.data(), lef.size(), 0);
  if (!content) {
    zip_discard(archive);
    return ZipFailed("content", &error);
  }
  const std::string name(entryName);
  const zip_int64_t index = zip_file_add(archive, name.c_str(), content, ZIP_FL_ENC_UTF_8);
  if (index < 0) {
    zip_source_free(content);
    const std::string why = zip_strerror(archive);
    zip_discard(archive);
    return std::unexpected(Error{ErrorKind::Io, "Lenex の zip を作れません（" + why + "）。"});
  }
  // The fastest deflate: a Lenex file is mostly repeated attribute names,
  // which it packs nearly as well as the slower levels.
  zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 1);
  if (zip_close(archive) != 0) {
    const std::string why = zip_strerror(archive);
    zip_discard(archive);
    return std::unexpected(Error{ErrorKind::Io, "Lenex の zip を作れません（" + why + "）。"});
  }
  if (zip_source_open(buffer) != 0) return ZipFailed("read", zip_source_error(buffer));
  std::string bytes;
  char chunk[1 << 16];
  zip_int64_t got;
  while ((got = zip_source_read(buffer, chunk, sizeof chunk)) > 0) bytes.append(chunk, static_cast<size_t>(got));
  const bool failed = got < 0;
  zip_source_close(buffer);
  if (failed) return ZipFailed("read", zip_source_error(buffer));
  return bytes;
}

Status WriteLxf(const std::filesystem::path& target, std::string_view lef) {
  const std::string ext = target.extension().string();
  if (!SameNameIgnoringCase(ext, ".lxf"))
    return Fail(ErrorKind::Invalid, "Lenex ファイルの名前は .lxf で終わります: " + target.filename().string());
  if (auto ok = CheckWritable(target); !ok) return ok;
  auto bytes = LxfBytes(target.stem().string() + ".lef", lef);
  if (!bytes) return std::unexpected(bytes.error());
  return WriteWholeFile(target, *bytes);
}

}  // namespace meet

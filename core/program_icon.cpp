#include "program_icon.h"

#include <vector>

#include "file_io.h"
#include "formats/input_limits.h"
#include "formats/pe/pe_image.h"
#include "icon_file.h"
#include "replacement_file.h"

namespace {

bool ReadProgram(const std::string& path, FileContents* contents) {
  FileHandle file(OpenForReading(path.c_str()));
  DWORD error = ERROR_SUCCESS;
  return file.IsValid() &&
         ReadFileStart(file.Get(), limits::kMaxModuleBytes, contents, &error) == FileContentsRead::kDone &&
         contents->read == contents->length;
}

bool WriteProgram(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  ReplacementFile file;
  return file.Create(path.c_str()) && WriteExactly(file.Handle(), bytes.data(), static_cast<DWORD>(bytes.size())) &&
         file.Commit();
}

ProgramIconResult Failed(ProgramIconOutcome outcome) {
  ProgramIconResult result;
  result.outcome = outcome;
  return result;
}

}  // namespace

ProgramIconResult SetProgramIcon(const ProgramIconRequest& request) {
  FileContents program;
  if (!ReadProgram(request.program, &program)) return Failed(ProgramIconOutcome::kProgramUnreadable);
  ProgramIconResult result;
  result.refusal = CheckRewritable(program.View(), request.stripSignature, &result.packer);
  if (result.refusal != PeRewriteRefusal::kNone) {
    result.outcome = ProgramIconOutcome::kRefused;
    return result;
  }
  PeImage image;
  std::vector<PeResourceItem> items;
  image.Parse(program.View(), program.length);
  if ((result.tree = ListResources(image, &items)) != ResourceListFailure::kNone) {
    result.outcome = ProgramIconOutcome::kTreeDamaged;
    return result;
  }
  IconGroupPtr read(request.made != nullptr ? nullptr : LoadIconFile(request.icon.c_str()));
  const IconGroup* icon = request.made != nullptr ? request.made : read.get();
  if (icon == nullptr) return Failed(ProgramIconOutcome::kIconUnreadable);
  std::vector<std::uint8_t> groupBytes;
  if ((result.edit = PutIconGroup(&items, *icon, request.target, &groupBytes)) != IconEditFailure::kNone) {
    result.outcome = ProgramIconOutcome::kEditFailed;
    return result;
  }
  std::vector<std::uint8_t> rewritten;
  const PeRewriteResult rewrite = RewriteResources(program.View(), items, request.stripSignature, &rewritten);
  result.refusal = rewrite.refusal;
  result.signatureRemoved = rewrite.signatureRemoved;
  result.newSection = rewrite.newSection;
  if (rewrite.refusal != PeRewriteRefusal::kNone) {
    result.outcome = ProgramIconOutcome::kRefused;
    return result;
  }
  const std::string& target = request.output.empty() ? request.program : request.output;
  if (!WriteProgram(target, rewritten)) result.outcome = ProgramIconOutcome::kWriteFailed;
  return result;
}

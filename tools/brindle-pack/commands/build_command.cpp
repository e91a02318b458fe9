#include <chrono>
#include <cstdio>
#include <optional>

#include "checks/project_check.h"
#include "commands/command.h"
#include "commands/package_file.h"
#include "commands/signing.h"
#include "host/host_system.h"
#include "packing/parallel_packer.h"
#include "packing/staged_output.h"
#include "packing/uninstall_template.h"

namespace brindle::tool {

namespace fs = std::filesystem;

namespace {
const char kHelp[] =
    "usage: brindle-pack build PROJECT -o SETUP.EXE [--app DIR] [--stub FILE]\n"
    "                          [--uninstaller FILE] [--no-del-all] [--no-solid]\n"
    "                          [--solid-limit BYTES] [--method lz|lzma] [-j N]\n"
    "                          [--quiet] [--sign-cert FILE --sign-key FILE [--timestamp URL]]\n"
    "\n"
    "Turns the install project PROJECT into the installer SETUP.EXE. PROJECT holds\n"
    "setup.ini and the files the installer carries; the application's tree is\n"
    "PROJECT/app, or DIR with --app. The project is checked first: every problem is\n"
    "printed as file:line: error|warning: message, and any error stops the build\n"
    "with exit code 1 and no output.\n"
    "\n"
    "The application, the uninstaller (FILE, else brindle-uninstall.exe; left out\n"
    "with [Task] NoUninstall = 1) and an uninstall.dat template make setup.pck;\n"
    "setup.pck and the carried files are packed behind the stub (FILE, else\n"
    "brindle-setup.exe). Both defaults are looked for beside brindle-pack, then in\n"
    "../share/brindle/ relative to it, where the package installs them. --no-del-all\n"
    "sets NoDelAll in the template, as [Builder] NoDelAll = 1 does.\n"
    "\n"
    "When the application's files come to at most BYTES (256 MiB unless\n"
    "--solid-limit says otherwise), setup.pck stores them as they are and is packed\n"
    "as one block, so that files share their matches; otherwise, or with --no-solid,\n"
    "each file is packed on its own and setup.pck is stored as it is. With --method\n"
    "lzma (the default) the solid block and files of 16 MiB and more are packed\n"
    "with the LZMA method, smaller files with the LZ method, which decodes faster;\n"
    "--method lz packs everything with the LZ method. Files are packed on\n"
    "N threads (all cores by default); the output is the same for any N, and entry\n"
    "times are no later than SOURCE_DATE_EPOCH when that is set. A progress bar\n"
    "shows on a terminal; --quiet prints nothing but errors.\n"
    "\n"
    "With --sign-cert and --sign-key, the uninstaller is signed before it goes into\n"
    "setup.pck and the installer once it is built, as brindle-pack sign signs\n"
    "(osslsigncode on PATH; --timestamp URL has the signatures time-stamped); both\n"
    "are read back, and SETUP.EXE is written only when both are sound.\n";

constexpr const char* kUninstallerName = "Uninstall.exe";
constexpr const char* kTemplateName = "uninstall.dat";
constexpr const char* kInnerPackageName = "setup.pck";
// The most application bytes packed as one block. The installer holds that
// block packed and unpacked at once in its 2 GiB of 32-bit address space,
// each in one piece: 256 MiB of files need at most about 520 MiB, which
// leaves room for its image, libraries and their gaps.
constexpr std::uint64_t kSolidLimit = std::uint64_t(256) << 20;

bool isInside(const fs::path& path, const fs::path& folder) {
    std::error_code failure;
    const fs::path inside =
        fs::weakly_canonical(path, failure).lexically_relative(fs::weakly_canonical(folder, failure));
    return !failure && !inside.empty() && *inside.begin() != "..";
}

// Adds a file at the top of the package, where the byte order of names puts it.
void insertAtTop(std::vector<PackInput>& inputs, PackInput input) {
    auto at = inputs.begin();
    for (; at != inputs.end(); ++at) {
        const std::string bare = at->isFolder ? at->name.substr(0, at->name.size() - 1) : at->name;
        if (bare.find('\\') != std::string::npos) continue;  // below the top
        if (bare > input.name) break;
    }
    inputs.insert(at, std::move(input));
}

std::vector<PackInput> inputsOf(const std::vector<TreeItem>& items) {
    std::vector<PackInput> inputs;
    for (const TreeItem& item : items)
        inputs.push_back({item.packageName, item.isFolder, item.modified, item.hostPath, {}, false, item.size});
    return inputs;
}

// The carried files, with the settings and language files as the installer reads them.
std::vector<PackInput> carriedInputs(const Project& project) {
    std::vector<PackInput> inputs = inputsOf(project.carriedItems);
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        if (const std::string* text = project.storedText(project.carriedItems[i])) {
            inputs[i].hostPath.clear();
            inputs[i].bytes.assign(text->begin(), text->end());
            inputs[i].size = 0;
        }
    }
    return inputs;
}

std::uint64_t totalSize(const std::vector<PackInput>& inputs) {
    std::uint64_t total = 0;
    for (const PackInput& input : inputs) total += input.raw || !input.packed ? 0 : input.size + input.bytes.size();
    return total;
}

std::uint64_t contentSize(const std::vector<PackInput>& inputs) {
    std::uint64_t total = 0;
    for (const PackInput& input : inputs) total += input.size + input.bytes.size();
    return total;
}

struct BuildPlan {
    fs::path output;
    fs::path stub;
    fs::path uninstaller;  // empty: none
    std::int32_t noDelAll = 0;
    std::uint64_t solidLimit = kSolidLimit;  // 0: never solid
    unsigned threads = 1;
    BlockMethod method = BlockMethod::Lzma;
    bool quiet = false;
    std::optional<SigningKey> signing;
    Signer signer;
};

// setup.pck's entries: the application, then the uninstaller (read from
// `uninstaller`, a signed copy of the plan's when signing, of
// `uninstallerSize` bytes) and the template.
std::vector<PackInput> innerInputs(const Project& project, const BuildPlan& plan, const fs::path& uninstaller,
                                   std::uint64_t uninstallerSize, const EntryTimes& times) {
    std::vector<PackInput> inputs = inputsOf(project.applicationItems);
    if (plan.uninstaller.empty()) return inputs;
    // The added entries take the newest time of what they are made from.
    std::uint64_t newest = std::max(times.of(project.settingsPath), times.of(plan.uninstaller));
    std::vector<std::string> files;
    for (const TreeItem& item : project.applicationItems) {
        newest = std::max(newest, item.modified);
        if (!item.isFolder) files.push_back(item.packageName);
    }
    const std::string text = uninstallTemplate(project.settings, plan.noDelAll, files);
    insertAtTop(inputs, {kUninstallerName, false, newest, uninstaller, {}, false, uninstallerSize});
    insertAtTop(inputs, {kTemplateName, false, newest, {}, {text.begin(), text.end()}, false, 0});
    return inputs;
}

// The size of the file at `path`; false with `error` when it cannot be told.
bool sizeOf(const fs::path& path, std::uint64_t& size, std::string& error) {
    std::error_code failure;
    size = fs::file_size(path, failure);
    if (failure) error = utf8Path(path) + ": " + failure.message();
    return !failure;
}

bool build(const Project& project, const BuildPlan& plan, const EntryTimes& times, std::string& error) {
    std::vector<std::uint8_t> stub;
    if (const FileResult read = readWholeFile(plan.stub, stub); !read) {
        error = withCause(utf8Path(plan.stub) + ": cannot be read", read);
        return false;
    }
    // Signed before it goes into setup.pck; the signed copy is removed at the end.
    StagedOutput signedUninstaller(hostPath(utf8Path(plan.output) + "." + kUninstallerName));
    fs::path uninstaller = plan.uninstaller;
    if (plan.signing && !uninstaller.empty()) {
        if (!plan.signer.sign(*plan.signing, uninstaller, signedUninstaller.partial(), error)) return false;
        uninstaller = signedUninstaller.partial();
    }
    std::uint64_t uninstallerSize = 0;
    if (!uninstaller.empty() && !sizeOf(uninstaller, uninstallerSize, error)) return false;
    std::vector<PackInput> inner = innerInputs(project, plan, uninstaller, uninstallerSize, times);
    std::vector<PackInput> outer = carriedInputs(project);
    // Solid: the entries are stored and setup.pck is packed whole; otherwise
    // the other way round. Either way nothing is packed twice.
    const bool solid = plan.solidLimit > 0 && contentSize(inner) <= plan.solidLimit;
    for (PackInput& input : inner) {
        input.packed = !solid;
        input.method = methodForFile(plan.method, input.size + input.bytes.size());
    }
    const std::uint64_t setupPackage = solid ? contentSize(inner) : 0;  // about setup.pck's size
    Progress progress(!plan.quiet && stderrIsTerminal(), totalSize(inner) + setupPackage + totalSize(outer));

    // Never committed: removed at the end.
    StagedOutput innerPackage(hostPath(utf8Path(plan.output) + "." + kInnerPackageName));
    if (!writePackageFile(innerPackage, {}, inner, plan.threads, progress, error)) return false;
    std::uint64_t innerSize = 0;
    if (!sizeOf(innerPackage.partial(), innerSize, error)) return false;
    std::uint64_t newest = 0;
    for (const PackInput& input : inner) newest = std::max(newest, input.time);
    insertAtTop(outer, {kInnerPackageName, false, newest, innerPackage.partial(), {}, !solid, innerSize, true,
                        plan.method});

    StagedOutput installer(plan.output);
    StagedOutput unsignedInstaller(hostPath(utf8Path(plan.output) + ".unsigned"));  // never committed
    const StagedOutput& packed = plan.signing ? unsignedInstaller : installer;
    if (!writePackageFile(packed, stub, outer, plan.threads, progress, error)) return false;
    progress.finish();
    if (plan.signing && !plan.signer.sign(*plan.signing, packed.partial(), installer.partial(), error)) return false;
    return installer.commit(error);
}

// "no <what> there", and why when the system says ("Permission denied").
std::string missing(const fs::path& path, const std::string& what, const std::error_code& failure) {
    return utf8Path(path) + ": no " + what + " there" + (failure ? " (" + failure.message() + ")" : "");
}

// The files brindle-pack needs beside the project; false with `error` when one is missing.
bool findTools(const CommandOptions& options, const Project& project, BuildPlan& plan, std::string& error) {
    std::error_code failure;
    plan.stub = options.has("--stub") ? hostPath(options.value("--stub")) : shippedFile("brindle-setup.exe");
    if (!fs::is_regular_file(plan.stub, failure)) {
        error = missing(plan.stub, "installer stub", failure) + "; name one with --stub FILE";
        return false;
    }
    error = stubProblem(utf8Path(plan.stub));
    if (!error.empty()) return false;
    if (plan.signing && !plan.signer.find(error)) return false;
    if (!project.withUninstaller()) return true;
    plan.uninstaller =
        options.has("--uninstaller") ? hostPath(options.value("--uninstaller")) : shippedFile("brindle-uninstall.exe");
    if (!fs::is_regular_file(plan.uninstaller, failure)) {
        error = missing(plan.uninstaller, "uninstaller", failure) +
                "; name one with --uninstaller FILE, or set [Task] NoUninstall = 1 in setup.ini";
        return false;
    }
    return true;
}

int buildCommand(const CommandOptions& options) {
    std::string error;
    BuildPlan plan;
    if (!options.threads(plan.threads, error) || !options.method(plan.method, error)) return fail(error, 2);
    if (options.has("--solid-limit") && !options.byteCount("--solid-limit", plan.solidLimit, error))
        return fail(error, 2);
    if (options.has("--no-solid")) plan.solidLimit = 0;
    if (options.has("--sign-cert") != options.has("--sign-key") || (options.has("--timestamp") && !options.has("--sign-cert")))
        return fail("build: --sign-cert and --sign-key go together, and --timestamp only with them (try --help)", 2);
    if (options.has("--sign-cert"))
        plan.signing = SigningKey{options.value("--sign-cert"), options.value("--sign-key"), options.value("--timestamp")};
    EntryTimes times;
    if (!times.readEnvironment(error)) return fail(error);
    const fs::path root = hostPath(options.positional[0]);
    const fs::path application = options.has("--app") ? hostPath(options.value("--app")) : root / "app";
    plan.output = hostPath(options.value("-o"));
    plan.quiet = options.has("--quiet");
    if (isInside(plan.output, root) || isInside(plan.output, application))
        return fail(utf8Path(plan.output) + ": lies inside the project, whose next build would carry it");

    const auto start = std::chrono::steady_clock::now();
    const Project project = loadProject(root, application, times);
    Diagnostics diagnostics;
    checkProject(project, diagnostics);
    diagnostics.print(!plan.quiet);
    const bool toolsFound = findTools(options, project, plan, error);
    if (!toolsFound) fail(error);
    if (diagnostics.hasErrors() || !toolsFound) return 1;
    plan.noDelAll = options.has("--no-del-all") ? 1 : project.noDelAll;
    if (!build(project, plan, times, error)) return fail(error);

    if (!plan.quiet && stderrIsTerminal()) {
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::uint64_t size = 0;
        if (!sizeOf(plan.output, size, error)) return fail(error);
        std::fprintf(stderr, "%s: %ju bytes, built in %.1f s on %u threads\n", utf8Path(plan.output).c_str(),
                     std::uintmax_t(size), seconds, plan.threads);
    }
    return 0;
}
}  // namespace

const Command kBuildCommand{
    "build",
    "  build PROJECT -o SETUP.EXE      check the install project and build its installer\n",
    kHelp,
    {"-o", "--app", "--stub", "--uninstaller", "-j", "--solid-limit", "--method", "--sign-cert", "--sign-key",
     "--timestamp"},
    {"--no-del-all", "--no-solid", "--quiet"},
    1,
    1,
    {"-o"},
    "needs PROJECT and -o SETUP.EXE",
    buildCommand,
};

}  // namespace brindle::tool

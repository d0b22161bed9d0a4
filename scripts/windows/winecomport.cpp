// Preloaded (LD_PRELOAD) into Wine 8.0 by the Windows stage, so that the Windows programs can program the emulator
// through Wine's COM port mapped to the emulator's pseudo-terminal. The Windows programs know nothing of it.
//
// Qt's Windows serial port waits for the QX-7M's answer with an overlapped WaitCommEvent and learns that it is
// over only from the I/O completion port tied to the port's handle. Wine 8.0's ntdll (dlls/ntdll/unix/serial.c,
// wait_on and wait_for_event) never posts that completion: it polls in a thread of its own and only sets an
// event, and with no event in the request (Qt gives none) it holds the calling thread until a byte arrives. The
// program then never reads the answer. The polling also asks for the modem lines (TIOCMGET), which a
// pseudo-terminal refuses, and then gives the wait up as cancelled; and CancelIo does not stop it, so after the
// port is closed it still writes its result into the program's memory, which by then holds other data.
//
// Here, inside Wine's Unix side:
// - TIOCMGET on a pseudo-terminal answers the lines a powered, connected QX-7M holds up;
// - ntdll.so's system-call entries for NtSetInformationFile, NtDeviceIoControlFile, NtCancelIoFile and
//   NtCancelIoFileEx are replaced: the first notes which completion port each handle is tied to; the second
//   hands Wine's wait an event and a result block of this library's own, and when the wait ends copies the
//   result to the program and posts the completion, as Windows does; the last two complete such a wait as
//   cancelled at once, after which its late result is dropped.

#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <dlfcn.h>
#include <link.h>
#include <pthread.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// Wine's Unix side calls its Nt functions with the Windows x64 convention.
#define WINAPI __attribute__((ms_abi))

using NTSTATUS = std::int32_t;
using ULONG = std::uint32_t;
using ULONG_PTR = std::uintptr_t;
using HANDLE = void*;

struct IoStatusBlock {
    union {
        NTSTATUS status;
        void* pointer;
    };
    ULONG_PTR information;
};

struct CompletionInformation {
    HANDLE port;
    ULONG_PTR key;
};

constexpr NTSTATUS kSuccess = 0;
constexpr NTSTATUS kPending = 0x103;
constexpr NTSTATUS kCancelled = static_cast<NTSTATUS>(0xc0000120);
constexpr ULONG kFileCompletionInformation = 30;
constexpr ULONG kWaitOnMask = 0x1b0048; // IOCTL_SERIAL_WAIT_ON_MASK
constexpr ULONG kEventAllAccess = 0x1f0003;
constexpr ULONG kThreadAllAccess = 0x1fffff;
constexpr int kNotificationEvent = 0;
const HANDLE kCurrentProcess = reinterpret_cast<HANDLE>(~ULONG_PTR { 0 });

bool isError(NTSTATUS status) { return static_cast<std::uint32_t>(status) >= 0xc0000000u; }

using DeviceIoControlFile = NTSTATUS(WINAPI*)(HANDLE file, HANDLE event, void* apc, void* apcContext, IoStatusBlock* io,
    ULONG code, void* in, ULONG inSize, void* out, ULONG outSize);
using SetInformationFile = NTSTATUS(WINAPI*)(HANDLE file, IoStatusBlock* io, void* info, ULONG size, ULONG infoClass);
using CancelIoFile = NTSTATUS(WINAPI*)(HANDLE file, IoStatusBlock* io);
using CancelIoFileEx = NTSTATUS(WINAPI*)(HANDLE file, IoStatusBlock* request, IoStatusBlock* io);
using CreateEvent
    = NTSTATUS(WINAPI*)(HANDLE* event, ULONG access, const void* attributes, int type, std::uint8_t initial);
using CreateThreadEx = NTSTATUS(WINAPI*)(HANDLE* thread, ULONG access, void* attributes, HANDLE process,
    void(WINAPI* start)(void*), void* parameter, ULONG flags, ULONG_PTR zeroBits, std::size_t stackCommit,
    std::size_t stackReserve, void* attributeList);
using WaitForSingleObject = NTSTATUS(WINAPI*)(HANDLE object, std::uint8_t alertable, const void* timeout);
using SetIoCompletion
    = NTSTATUS(WINAPI*)(HANDLE port, ULONG_PTR key, ULONG_PTR value, NTSTATUS status, std::size_t count);
using Close = NTSTATUS(WINAPI*)(HANDLE handle);

struct Ntdll {
    DeviceIoControlFile deviceIoControlFile;
    SetInformationFile setInformationFile;
    CancelIoFile cancelIoFile;
    CancelIoFileEx cancelIoFileEx;
    CreateEvent createEvent;
    CreateThreadEx createThreadEx;
    WaitForSingleObject waitForSingleObject;
    SetIoCompletion setIoCompletion;
    Close close;
};
Ntdll ntdll;

// A program that uploads has one serial port open, with one wait at a time; these tables hold a few.
constexpr int kSlots = 16;

struct Association {
    HANDLE file;
    CompletionInformation completion;
};
Association associations[kSlots];

// A wait of the program's that Wine carries out into this library's own event, result block and event mask.
struct Wait {
    HANDLE file;
    CompletionInformation completion;
    ULONG_PTR overlapped;
    IoStatusBlock* programIo;
    ULONG* programEvents;
    HANDLE done;
    IoStatusBlock io;
    ULONG events;
    bool over; // completed for the program, by Wine or by a cancellation
};
Wait* waits[kSlots];

pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;

void associate(HANDLE file, CompletionInformation completion)
{
    pthread_mutex_lock(&lock);
    Association* freeSlot = nullptr;
    for (auto& association : associations) {
        if (association.file == file)
            association.file = nullptr;
        if (!association.file && !freeSlot)
            freeSlot = &association;
    }
    if (freeSlot && completion.port)
        *freeSlot = { file, completion };
    pthread_mutex_unlock(&lock);
}

bool completionOf(HANDLE file, CompletionInformation* completion)
{
    pthread_mutex_lock(&lock);
    bool found = false;
    for (const auto& association : associations) {
        if (association.file == file) {
            *completion = association.completion;
            found = true;
        }
    }
    pthread_mutex_unlock(&lock);
    return found;
}

// Under the lock: the program's result block is written, then the completion posted, as Windows does.
void completeLocked(Wait* wait, NTSTATUS status, ULONG_PTR information)
{
    if (wait->over)
        return;
    wait->over = true;
    if (status == kSuccess && information == sizeof(ULONG))
        *wait->programEvents = wait->events;
    wait->programIo->information = information;
    __atomic_store_n(&wait->programIo->status, status, __ATOMIC_RELEASE);
    ntdll.setIoCompletion(wait->completion.port, wait->completion.key, wait->overlapped, status, information);
}

bool track(Wait* wait)
{
    pthread_mutex_lock(&lock);
    bool tracked = false;
    for (auto*& slot : waits) {
        if (!slot && !tracked) {
            slot = wait;
            tracked = true;
        }
    }
    pthread_mutex_unlock(&lock);
    return tracked;
}

// Wine has finished with the wait's buffers.
void finish(Wait* wait)
{
    pthread_mutex_lock(&lock);
    for (auto*& slot : waits) {
        if (slot == wait)
            slot = nullptr;
    }
    completeLocked(wait, wait->io.status, wait->io.information);
    pthread_mutex_unlock(&lock);
    ntdll.close(wait->done);
    std::free(wait);
}

// Runs as a Wine thread, as Wine's own polling thread does.
void WINAPI awaitWine(void* parameter)
{
    auto* wait = static_cast<Wait*>(parameter);
    ntdll.waitForSingleObject(wait->done, 0, nullptr);
    finish(wait);
}

NTSTATUS WINAPI deviceIoControlFile(HANDLE file, HANDLE event, void* apc, void* apcContext, IoStatusBlock* io,
    ULONG code, void* in, ULONG inSize, void* out, ULONG outSize)
{
    CompletionInformation completion {};
    // Only an overlapped wait that reports through a completion port alone, Qt's: the others Wine completes.
    if (code != kWaitOnMask || event || apc || !apcContext || !out || outSize != sizeof(ULONG)
        || !completionOf(file, &completion))
        return ntdll.deviceIoControlFile(file, event, apc, apcContext, io, code, in, inSize, out, outSize);

    auto* wait = static_cast<Wait*>(std::calloc(1, sizeof(Wait)));
    if (!wait)
        return ntdll.deviceIoControlFile(file, event, apc, apcContext, io, code, in, inSize, out, outSize);
    wait->file = file;
    wait->completion = completion;
    wait->overlapped = reinterpret_cast<ULONG_PTR>(apcContext);
    wait->programIo = io;
    wait->programEvents = static_cast<ULONG*>(out);
    NTSTATUS status = ntdll.createEvent(&wait->done, kEventAllAccess, nullptr, kNotificationEvent, 0);
    if (status != kSuccess) {
        std::free(wait);
        return status;
    }
    status = ntdll.deviceIoControlFile(
        file, wait->done, nullptr, nullptr, &wait->io, code, in, inSize, &wait->events, sizeof wait->events);
    if (status == kPending) {
        HANDLE thread = nullptr;
        io->status = kPending;
        if (track(wait)
            && ntdll.createThreadEx(
                   &thread, kThreadAllAccess, nullptr, kCurrentProcess, awaitWine, wait, 0, 0, 0, 0, nullptr)
                == kSuccess) {
            ntdll.close(thread);
            return kPending;
        }
        ntdll.waitForSingleObject(wait->done, 0, nullptr); // no thread to wait in: the caller waits, as in Wine
    } else if (isError(status)) {
        ntdll.close(wait->done);
        std::free(wait);
        return status;
    }
    status = wait->io.status;
    finish(wait);
    return status;
}

void cancelWaits(HANDLE file, const IoStatusBlock* request)
{
    pthread_mutex_lock(&lock);
    for (auto* wait : waits) {
        if (wait && wait->file == file && (!request || request == wait->programIo))
            completeLocked(wait, kCancelled, 0);
    }
    pthread_mutex_unlock(&lock);
}

NTSTATUS WINAPI cancelIoFile(HANDLE file, IoStatusBlock* io)
{
    cancelWaits(file, nullptr);
    return ntdll.cancelIoFile(file, io);
}

NTSTATUS WINAPI cancelIoFileEx(HANDLE file, IoStatusBlock* request, IoStatusBlock* io)
{
    cancelWaits(file, request);
    return ntdll.cancelIoFileEx(file, request, io);
}

NTSTATUS WINAPI setInformationFile(HANDLE file, IoStatusBlock* io, void* info, ULONG size, ULONG infoClass)
{
    const NTSTATUS status = ntdll.setInformationFile(file, io, info, size, infoClass);
    if (status == kSuccess && infoClass == kFileCompletionInformation && size >= sizeof(CompletionInformation))
        associate(file, *static_cast<const CompletionInformation*>(info));
    return status;
}

struct Replacement {
    const char* name;
    void* wrapper;
    void* original;
    int replaced;
};

// Replaces every pointer to an original in ntdll.so's relocated data (its system-call table) with the wrapper.
int replacePointers(dl_phdr_info* module, std::size_t, void* data)
{
    auto* replacements = static_cast<Replacement*>(data);
    Dl_info info {};
    if (!dladdr(replacements[0].original, &info) || reinterpret_cast<void*>(module->dlpi_addr) != info.dli_fbase)
        return 0;
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    for (int i = 0; i < module->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = module->dlpi_phdr[i];
        if (segment.p_type != PT_LOAD || !(segment.p_flags & PF_W))
            continue;
        auto* begin = reinterpret_cast<void**>(module->dlpi_addr + segment.p_vaddr);
        auto* end = reinterpret_cast<void**>(module->dlpi_addr + segment.p_vaddr + segment.p_memsz);
        for (void** entry = begin; entry < end; ++entry) {
            for (auto* replacement = replacements; replacement->name; ++replacement) {
                if (*entry != replacement->original)
                    continue;
                // The table is read-only after relocation; it stays writable, which only this library uses.
                if (mprotect(reinterpret_cast<void*>(reinterpret_cast<std::uintptr_t>(entry) & ~(page - 1)), page,
                        PROT_READ | PROT_WRITE)
                    == 0) {
                    *entry = replacement->wrapper;
                    ++replacement->replaced;
                }
            }
        }
    }
    return 1;
}

template <typename Function>
bool find(void* library, const char* name, Function* function)
{
    *function = reinterpret_cast<Function>(dlsym(library, name));
    return *function != nullptr;
}

void patchNtdll(void* library)
{
    if (!find(library, "NtDeviceIoControlFile", &ntdll.deviceIoControlFile)
        || !find(library, "NtSetInformationFile", &ntdll.setInformationFile)
        || !find(library, "NtCancelIoFile", &ntdll.cancelIoFile)
        || !find(library, "NtCancelIoFileEx", &ntdll.cancelIoFileEx)
        || !find(library, "NtCreateEvent", &ntdll.createEvent)
        || !find(library, "NtCreateThreadEx", &ntdll.createThreadEx)
        || !find(library, "NtWaitForSingleObject", &ntdll.waitForSingleObject)
        || !find(library, "NtSetIoCompletion", &ntdll.setIoCompletion) || !find(library, "NtClose", &ntdll.close)) {
        std::fprintf(stderr, "winecomport: ntdll.so lacks the functions it needs\n");
        return;
    }
    Replacement replacements[] = {
        { "NtDeviceIoControlFile", reinterpret_cast<void*>(&deviceIoControlFile),
            reinterpret_cast<void*>(ntdll.deviceIoControlFile), 0 },
        { "NtSetInformationFile", reinterpret_cast<void*>(&setInformationFile),
            reinterpret_cast<void*>(ntdll.setInformationFile), 0 },
        { "NtCancelIoFile", reinterpret_cast<void*>(&cancelIoFile), reinterpret_cast<void*>(ntdll.cancelIoFile), 0 },
        { "NtCancelIoFileEx", reinterpret_cast<void*>(&cancelIoFileEx), reinterpret_cast<void*>(ntdll.cancelIoFileEx),
            0 },
        { nullptr, nullptr, nullptr, 0 },
    };
    dl_iterate_phdr(replacePointers, replacements);
    for (auto* replacement = replacements; replacement->name; ++replacement) {
        if (replacement->replaced != 1)
            std::fprintf(stderr, "winecomport: %d system-call entries for %s replaced in ntdll.so instead of 1\n",
                replacement->replaced, replacement->name);
    }
}

bool isPseudoTerminal(int fd)
{
    struct stat status { };
    // Unix 98 pseudo-terminal slaves: majors 136 to 143.
    return fstat(fd, &status) == 0 && S_ISCHR(status.st_mode) && major(status.st_rdev) >= 136
        && major(status.st_rdev) <= 143;
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) void* dlopen(const char* file, int mode)
{
    static auto* real = reinterpret_cast<void* (*)(const char*, int)>(dlsym(RTLD_NEXT, "dlopen"));
    static std::atomic<bool> patched { false };
    void* library = real(file, mode);
    const std::size_t length = file ? std::strlen(file) : 0;
    if (library && length >= 9 && std::strcmp(file + length - 9, "/ntdll.so") == 0 && !patched.exchange(true))
        patchNtdll(library);
    return library;
}

__attribute__((visibility("default"))) int ioctl(int fd, unsigned long request, ...)
{
    static auto* real = reinterpret_cast<int (*)(int, unsigned long, void*)>(dlsym(RTLD_NEXT, "ioctl"));
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    const int result = real(fd, request, argument);
    if (result == 0 || request != TIOCMGET || !argument || !isPseudoTerminal(fd))
        return result;
    *static_cast<int*>(argument) = TIOCM_DTR | TIOCM_RTS | TIOCM_CTS | TIOCM_DSR | TIOCM_CAR;
    return 0;
}

} // extern "C"

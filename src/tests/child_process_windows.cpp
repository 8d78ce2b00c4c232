#include <windows.h>

#include "child_process.hpp"

namespace vantrel_host {

namespace {

std::wstring wide(const std::string& text) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                        length);
    return result;
}

std::wstring native_path(const std::string& path) {
    std::wstring result = wide(path);
    for (wchar_t& c : result) {
        c = c == L'/' ? L'\\' : c;
    }
    return result;
}

// One argument as the C runtime's command-line parser reads it back: quoted when needed,
// with backslashes doubled only before a quote.
void append_argument(std::wstring& line, const std::wstring& arg) {
    if (!line.empty()) {
        line += L' ';
    }
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) {
        line += arg;
        return;
    }
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(2 * backslashes, L'\\');
    line += L'"';
}

std::wstring command_line(const std::wstring& program, const std::vector<std::string>& args) {
    std::wstring line;
    append_argument(line, program);
    for (const std::string& arg : args) {
        append_argument(line, wide(arg));
    }
    return line;
}

HANDLE as_handle(std::intptr_t value) {
    return reinterpret_cast<HANDLE>(value);
}
std::intptr_t as_value(HANDLE handle) {
    return reinterpret_cast<std::intptr_t>(handle);
}

HANDLE open_inheritable(const std::string& path, bool for_writing) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileW(native_path(path).c_str(), for_writing ? GENERIC_WRITE : GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       for_writing ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Starts the program with the given standard handles, which must be inheritable.
HANDLE spawn(const std::string& program, const std::vector<std::string>& args, HANDLE in,
             HANDLE out, HANDLE err) {
    const std::wstring path = native_path(program);
    std::wstring line = command_line(path, args);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &started)) {
        return nullptr;
    }
    CloseHandle(started.hThread);
    return started.hProcess;
}

int exit_status(HANDLE process) {
    WaitForSingleObject(process, INFINITE);
    DWORD status = 0;
    const bool known = GetExitCodeProcess(process, &status) != 0;
    CloseHandle(process);
    return known ? static_cast<int>(status) : -1;
}

// A pipe whose end for the child is inheritable and whose end for this process is not.
bool make_pipe(HANDLE& read_end, HANDLE& write_end, bool child_reads) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    if (!CreatePipe(&read_end, &write_end, &inherit, 0)) {
        return false;
    }
    SetHandleInformation(child_reads ? write_end : read_end, HANDLE_FLAG_INHERIT, 0);
    return true;
}

}  // namespace

int run_with_files(const std::string& program, const std::vector<std::string>& args,
                   const std::string& in, const std::string& out, const std::string& err) {
    HANDLE input = open_inheritable(in, false);
    HANDLE output = open_inheritable(out, true);
    HANDLE error = open_inheritable(err, true);
    HANDLE process = nullptr;
    if (input != INVALID_HANDLE_VALUE && output != INVALID_HANDLE_VALUE &&
        error != INVALID_HANDLE_VALUE) {
        process = spawn(program, args, input, output, error);
    }
    for (HANDLE handle : {input, output, error}) {
        if (handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
        }
    }
    return process == nullptr ? -1 : exit_status(process);
}

bool start_piped(const std::string& program, const std::vector<std::string>& args,
                 PipedChild& child) {
    HANDLE child_in = nullptr, to_child = nullptr, from_child = nullptr, child_out = nullptr;
    if (!make_pipe(child_in, to_child, true) || !make_pipe(from_child, child_out, false)) {
        return false;
    }
    HANDLE process = spawn(program, args, child_in, child_out, GetStdHandle(STD_ERROR_HANDLE));
    CloseHandle(child_in);
    CloseHandle(child_out);
    child = {as_value(process), as_value(to_child), as_value(from_child)};
    if (process == nullptr) {
        CloseHandle(to_child);
        CloseHandle(from_child);
    }
    return process != nullptr;
}

bool write_to_child(PipedChild& child, std::string_view text) {
    DWORD written = 0;
    return WriteFile(as_handle(child.to_child), text.data(), static_cast<DWORD>(text.size()),
                     &written, nullptr) &&
           written == text.size();
}

// Anonymous pipes cannot wait with a time limit, so this polls what is there to read.
std::string read_line_from_child(PipedChild& child, int timeout_ms) {
    HANDLE pipe = as_handle(child.from_child);
    std::string line;
    for (int waited = 0; waited <= timeout_ms;) {
        DWORD available = 0;
        if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr)) {
            break;  // the child closed its end
        }
        if (available == 0) {
            Sleep(5);
            waited += 5;
            continue;
        }
        char c = 0;
        DWORD count = 0;
        if (!ReadFile(pipe, &c, 1, &count, nullptr) || count != 1) {
            break;
        }
        line += c;
        waited = 0;
        if (c == '\n') {
            break;
        }
    }
    return line;
}

void close_child_input(PipedChild& child) {
    CloseHandle(as_handle(child.to_child));
    child.to_child = -1;
}

int wait_for_child(PipedChild& child) {
    CloseHandle(as_handle(child.from_child));
    child.from_child = -1;
    return exit_status(as_handle(child.process));
}

std::uint64_t current_process_id() {
    return GetCurrentProcessId();
}

}  // namespace vantrel_host

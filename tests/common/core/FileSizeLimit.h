#pragma once

#include <csignal>
#include <sys/resource.h>

// While it lives, no file can grow beyond a number of bytes: a write past it stops short, as on
// a disk that fills up part way.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_original);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = m_original;
        small.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_original);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    bool active() const { return m_active; }

private:
    rlimit m_original{};
    void (*m_previousHandler)(int) = nullptr;
    bool m_active = false;
};

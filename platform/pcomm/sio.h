/*
 * The serial port library the console drives its relay modules and wall switch through.
 * Built as bin/DLL/PCOMM.DLL; these seven functions are all it exports.
 *
 * Ports are named by COM number. The number is looked up in the port map
 * (platform/portmap/portmap.h) on every sio_open, so links added to the links folder are seen
 * without restarting the program. All functions may be called from any thread.
 *
 * Return values: 0 (or a byte count) on success, otherwise one of these codes:
 *
 *   code                       value  what it means for the user
 *   -------------------------  -----  ---------------------------------------------------------
 *   SIO_OK                       0    Done.
 *   SIO_ERR_NOT_OPEN            -1    The port is not open in this program: it was never opened,
 *                                     its open failed, it was closed, or the number is 0 or
 *                                     negative. Open it first.
 *   SIO_ERR_NO_SUCH_PORT        -2    No device for that COM number, or the device it names does
 *                                     not exist (adapter unplugged, dangling link). Check the
 *                                     cable and the port number.
 *   SIO_ERR_BUSY                -3    Another program, or this one, already has the port open.
 *                                     Close the other program or pick another port.
 *   SIO_ERR_PERMISSION          -4    The system refused access to the device; usually the user
 *                                     is not in the "dialout" group.
 *   SIO_ERR_BAD_PARAM           -5    Unknown baud code or mode bits, a null buffer or a
 *                                     negative length: a fault in the calling program.
 *   SIO_ERR_IO                  -6    Any other failure of the device or the system (the port
 *                                     cannot be configured, the device went away mid-session).
 *                                     Close the port and open it again.
 */
#ifndef RELAY_CONSOLE_PLATFORM_PCOMM_SIO_H
#define RELAY_CONSOLE_PLATFORM_PCOMM_SIO_H

#if defined(__GNUC__)
#define SIO_API __attribute__((visibility("default")))
#else
#define SIO_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

enum {
    SIO_OK = 0,
    SIO_ERR_NOT_OPEN = -1,
    SIO_ERR_NO_SUCH_PORT = -2,
    SIO_ERR_BUSY = -3,
    SIO_ERR_PERMISSION = -4,
    SIO_ERR_BAD_PARAM = -5,
    SIO_ERR_IO = -6
};

/* Baud codes for sio_ioctl. */
enum {
    SIO_B50 = 0,
    SIO_B75 = 1,
    SIO_B110 = 2,
    SIO_B134 = 3,
    SIO_B150 = 4,
    SIO_B300 = 5,
    SIO_B600 = 6,
    SIO_B1200 = 7,
    SIO_B1800 = 8,
    SIO_B2400 = 9,
    SIO_B4800 = 10,
    SIO_B7200 = 11,
    SIO_B9600 = 12,
    SIO_B19200 = 13,
    SIO_B38400 = 14,
    SIO_B57600 = 15,
    SIO_B115200 = 16,
    SIO_B230400 = 17,
    SIO_B460800 = 18,
    SIO_B921600 = 19
};

/* Mode bits for sio_ioctl: one data-bits value, one stop-bits value and one parity value, OR-ed.
 * SIO_BIT8 | SIO_STOP1 | SIO_P_NONE (= 3) is 8N1. */
enum {
    SIO_BIT5 = 0x00,
    SIO_BIT6 = 0x01,
    SIO_BIT7 = 0x02,
    SIO_BIT8 = 0x03,
    SIO_STOP1 = 0x00,
    SIO_STOP2 = 0x04,
    SIO_P_NONE = 0x00,
    SIO_P_ODD = 0x08,
    SIO_P_EVEN = 0x18,
    SIO_P_MARK = 0x28,
    SIO_P_SPACE = 0x38
};

/* Opens COM<port> for exclusive use: raw, 9600 baud, 8N1, no flow control. 0 or an error. */
SIO_API int sio_open(int port);
/* Sets the speed (a baud code above) and the mode bits. 0 or an error; on an error nothing
 * changes. */
SIO_API int sio_ioctl(int port, int baud, int mode);
/* Records the read timeouts. Reads never wait, so they do not change what sio_read does.
 * 0 or an error. */
SIO_API int sio_SetReadTimeouts(int port, int total_ms, int interval_ms);
/* Number of received bytes waiting to be read, or an error. */
SIO_API int sio_iqueue(int port);
/* Copies up to len waiting bytes into buf without waiting. Returns the number copied (0 when
 * none are waiting) or an error. */
SIO_API int sio_read(int port, char* buf, int len);
/* Hands up to len bytes to the driver, waiting at most about 100 ms for room. Returns the number
 * accepted, which is fewer than len (or 0) when the device does not take data fast enough, or
 * an error. */
SIO_API int sio_write(int port, char* buf, int len);
/* Closes the port and releases it to other programs. 0 or SIO_ERR_NOT_OPEN. */
SIO_API int sio_close(int port);

#ifdef __cplusplus
}
#endif

#endif /* RELAY_CONSOLE_PLATFORM_PCOMM_SIO_H */

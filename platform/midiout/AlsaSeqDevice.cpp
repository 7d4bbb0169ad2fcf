#include "platform/midiout/AlsaSeqDevice.h"

#include <QFileInfo>
#include <alsa/asoundlib.h>

namespace {

constexpr int NameLimit = 31;

bool SequencerPresent()
{
    return QFileInfo::exists(QStringLiteral("/dev/snd/seq"));
}

} // namespace

TAlsaSeqDevice::TAlsaSeqDevice(int client, int port, const QString &name)
    : FClient(client), FPort(port), FName(name.left(NameLimit))
{
}

TAlsaSeqDevice::~TAlsaSeqDevice()
{
    if (FSeq)
        DoClose();
}

std::vector<std::shared_ptr<TMidiDevice>> TAlsaSeqDevice::Enumerate()
{
    std::vector<std::shared_ptr<TMidiDevice>> devices;
    if (!SequencerPresent())
        return devices;
    snd_seq_t *seq = nullptr;
    if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_OUTPUT, 0) < 0)
        return devices;
    const int self = snd_seq_client_id(seq);
    snd_seq_client_info_t *client;
    snd_seq_port_info_t *port;
    snd_seq_client_info_alloca(&client);
    snd_seq_port_info_alloca(&port);
    snd_seq_client_info_set_client(client, -1);
    while (snd_seq_query_next_client(seq, client) >= 0) {
        const int clientId = snd_seq_client_info_get_client(client);
        const QString clientName = QString::fromUtf8(snd_seq_client_info_get_name(client));
        if (clientId == SND_SEQ_CLIENT_SYSTEM || clientId == self || clientName == QLatin1String("Midi Through"))
            continue;
        snd_seq_port_info_set_client(port, clientId);
        snd_seq_port_info_set_port(port, -1);
        while (snd_seq_query_next_port(seq, port) >= 0) {
            const unsigned caps = snd_seq_port_info_get_capability(port);
            const unsigned wanted = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;
            if ((caps & wanted) != wanted || (caps & SND_SEQ_PORT_CAP_NO_EXPORT))
                continue;
            if (!(snd_seq_port_info_get_type(port) & (SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_SYNTH |
                                                      SND_SEQ_PORT_TYPE_APPLICATION | SND_SEQ_PORT_TYPE_SOFTWARE)))
                continue;
            devices.push_back(std::make_shared<TAlsaSeqDevice>(
                clientId, snd_seq_port_info_get_port(port), QString::fromUtf8(snd_seq_port_info_get_name(port))));
        }
    }
    snd_seq_close(seq);
    return devices;
}

bool TAlsaSeqDevice::DoOpen()
{
    std::lock_guard lock(FSendMutex);
    if (!SequencerPresent() || snd_seq_open(&FSeq, "default", SND_SEQ_OPEN_OUTPUT, 0) < 0) {
        FSeq = nullptr;
        return false;
    }
    snd_seq_set_client_name(FSeq, "Vexo Veltrasomin");
    FOwnPort = snd_seq_create_simple_port(FSeq, "out", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
                                          SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    FQueue = snd_seq_alloc_queue(FSeq);
    if (FOwnPort < 0 || FQueue < 0 || snd_seq_connect_to(FSeq, FOwnPort, FClient, FPort) < 0 ||
        snd_midi_event_new(16, &FEncoder) < 0) {
        snd_seq_close(FSeq);
        FSeq = nullptr;
        FEncoder = nullptr;
        return false;
    }
    snd_seq_start_queue(FSeq, FQueue, nullptr);
    snd_seq_drain_output(FSeq);
    return true;
}

void TAlsaSeqDevice::DoClose()
{
    Reset();
    std::lock_guard lock(FSendMutex);
    if (!FSeq)
        return;
    snd_seq_stop_queue(FSeq, FQueue, nullptr);
    snd_seq_drain_output(FSeq);
    snd_seq_free_queue(FSeq, FQueue);
    snd_seq_close(FSeq);
    FSeq = nullptr;
    if (FEncoder)
        snd_midi_event_free(FEncoder);
    FEncoder = nullptr;
}

void TAlsaSeqDevice::Send(const unsigned char *bytes, long length)
{
    std::lock_guard lock(FSendMutex);
    if (!FSeq || !FEncoder)
        return;
    snd_seq_event_t event;
    snd_seq_ev_clear(&event);
    snd_midi_event_reset_encode(FEncoder);
    if (snd_midi_event_encode(FEncoder, bytes, length, &event) <= 0 || event.type == SND_SEQ_EVENT_NONE)
        return;
    snd_seq_ev_set_source(&event, FOwnPort);
    snd_seq_ev_set_subs(&event);
    // The stream has already timed the event; the queue delivers it at once.
    snd_seq_ev_schedule_tick(&event, FQueue, 1, 0);
    snd_seq_event_output_direct(FSeq, &event);
}

void TAlsaSeqDevice::ShortMessage(uint32_t message, uint64_t)
{
    const unsigned char bytes[3] = {(unsigned char)(message & 0xFF), (unsigned char)((message >> 8) & 0x7F),
                                    (unsigned char)((message >> 16) & 0x7F)};
    const int status = bytes[0] & 0xF0;
    Send(bytes, status == 0xC0 || status == 0xD0 ? 2 : 3);
}

void TAlsaSeqDevice::Reset()
{
    for (unsigned char channel = 0; channel < 16; ++channel) {
        const unsigned char allNotesOff[3] = {(unsigned char)(0xB0 | channel), 123, 0};
        Send(allNotesOff, 3);
    }
}

"""A stand-in for feedbackd on the session bus: each feedback it runs gets the next id."""

BUS_NAME = "org.sigxcpu.Feedback"
MAIN_OBJ = "/org/sigxcpu/Feedback"
MAIN_IFACE = "org.sigxcpu.Feedback"
SYSTEM_BUS = False


def load(mock, parameters):
    mock.next_id = 1
    mock.AddMethods(
        MAIN_IFACE,
        [
            ("TriggerFeedback", "ssa{sv}i", "u", "ret = self.next_id\nself.next_id += 1"),
            ("EndFeedback", "u", "", ""),
        ],
    )

General
	Müller

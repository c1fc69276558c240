General
			Deep
After
